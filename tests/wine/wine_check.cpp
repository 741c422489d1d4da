#include "tests/wine/wine_check.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace wine_check {
namespace {

std::map<std::string, Group>& groups() {
    static std::map<std::string, Group> all;
    return all;
}

int failures = 0;

}  // namespace

Registration::Registration(const char* name, Group group) {
    groups()[name] = group;
}

// Reports go to standard error: standard output belongs to the groups that check what the
// program writes there.
void fail(const char* file, int line, const std::string& what) {
    ++failures;
    std::fprintf(stderr, "FAIL %s:%d: %s\n", file, line, what.c_str());
}

}  // namespace wine_check

// velmora-wine-checks --list | GROUP
int main(int argc, char** argv) {
    auto& groups = wine_check::groups();
    if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
        for (const auto& [name, group] : groups) {
            std::printf("%s\n", name.c_str());
        }
        return 0;
    }
    if (argc != 2 || groups.count(argv[1]) == 0) {
        std::fprintf(stderr, "usage: velmora-wine-checks --list | GROUP\n");
        return 2;
    }
    groups[argv[1]]();
    std::fprintf(stderr, "%s %s\n", wine_check::failures == 0 ? "ok" : "FAILED", argv[1]);
    return wine_check::failures == 0 ? 0 : 1;
}
