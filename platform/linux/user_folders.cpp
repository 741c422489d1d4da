#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

std::filesystem::path fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

// XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path, as xdg-user-dirs writes it.
std::filesystem::path picturesFromUserDirs(const std::filesystem::path& file,
                                           const std::filesystem::path& home) {
    std::ifstream in(file);
    const std::string key = "XDG_PICTURES_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(key) || !line.ends_with("\"")) {
            continue;
        }
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.starts_with("$HOME")) {
            return home.string() + value.substr(5);
        }
        return value.starts_with("/") ? std::filesystem::path(value) : std::filesystem::path();
    }
    return {};
}

}  // namespace

std::filesystem::path picturesFolder() {
    const std::filesystem::path home = fromEnvironment("HOME");
    std::filesystem::path config = fromEnvironment("XDG_CONFIG_HOME");
    if (config.empty() || config.is_relative()) {
        config = home / ".config";
    }
    std::filesystem::path pictures = picturesFromUserDirs(config / "user-dirs.dirs", home);
    if (pictures.empty() && !home.empty()) {
        pictures = home / "Pictures";
    }
    return pictures;
}

}  // namespace platform
