#pragma once
// A small check runner for the program that exercises the Windows platform layer under Wine
// (GoogleTest has no Windows build here). Each named group runs in a process of its own, so
// process-wide state such as the DPI awareness starts fresh for every group.
#include <sstream>
#include <string>

namespace wine_check {

using Group = void (*)();

// Adds a group to the program's list during static initialisation.
struct Registration {
    Registration(const char* name, Group group);
};

// Records a failed expectation; the group carries on so that one run shows every failure.
void fail(const char* file, int line, const std::string& what);

template <typename A, typename B>
void expectEqual(const char* file, int line, const char* expression, const A& actual,
                 const B& expected) {
    if (actual == expected) {
        return;
    }
    std::ostringstream text;
    text << expression << ": expected [" << expected << "] got [" << actual << "]";
    fail(file, line, text.str());
}

}  // namespace wine_check

#define WINE_CHECK_GROUP(name)                                                        \
    static void name##_group();                                                       \
    static const ::wine_check::Registration name##_registration(#name, name##_group); \
    static void name##_group()

#define EXPECT_TRUE(condition)                                  \
    do {                                                        \
        if (!(condition)) {                                     \
            ::wine_check::fail(__FILE__, __LINE__, #condition); \
        }                                                       \
    } while (false)

#define EXPECT_EQ(actual, expected) \
    ::wine_check::expectEqual(__FILE__, __LINE__, #actual, (actual), (expected))
