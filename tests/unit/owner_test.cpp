// The one owner type of the platform layers: its release with a context, and C out-parameters
// received straight into it.
#include <string>

#include <gtest/gtest.h>

#include "platform/owner.h"

namespace {

void release(std::string* log, const char* object) {
    *log += std::string(object) + " ";
}
using NameOwner = platform::Owner<const char, release, std::string*>;

// A C call that puts a pointer out.
void handOut(const char* object, const char** out) {
    *out = object;
}

// The owner starts with `held`, then a call puts `received` out into it.
TEST(Owner, ReleasesWhatItHeldWithItsContextWhenAnOutParameterReplacesItOrItGoes) {
    const struct {
        const char* held;
        const char* received;
        std::string releasedByTheCall;
        std::string releasedInAll;
    } cases[] = {
        {nullptr, "b", "", "b "},
        {"a", "b", "a ", "a b "},
        {"a", nullptr, "a ", "a "},
        {nullptr, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        std::string log;
        {
            NameOwner owner(c.held, &log);
            handOut(c.received, platform::outParam(owner));
            EXPECT_EQ(owner.get(), c.received);
            EXPECT_EQ(log, c.releasedByTheCall);
        }
        EXPECT_EQ(log, c.releasedInAll);
    }
}

}  // namespace
