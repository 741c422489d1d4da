#include "platform/linux/desktop_wallpaper.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "platform/linux/glib_owners.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

using GSettingsSchemaOwner = Owner<GSettingsSchema, g_settings_schema_unref>;
using GMarkupParseContextOwner = Owner<GMarkupParseContext, g_markup_parse_context_free>;

// g_settings_new aborts on a schema or key that is not installed, so both are looked up first.
struct Settings {
    GSettingsSchemaOwner schema;
    GObjectOwner<GSettings> settings;

    bool has(const char* key) const {
        return settings && g_settings_schema_has_key(schema.get(), key);
    }
    std::string text(const char* key) const {
        if (!has(key)) {
            return {};
        }
        const GCharOwner value(g_settings_get_string(settings.get(), key));
        return value ? value.get() : "";
    }
    bool userSet(const char* key) const {
        return has(key) && GVariantOwner(g_settings_get_user_value(settings.get(), key)) != nullptr;
    }
};

Settings openSettings(GSettingsSchemaSource* schemas, const char* id, GSettingsBackend* backend) {
    Settings s;
    s.schema.reset(g_settings_schema_source_lookup(schemas, id, TRUE));
    if (s.schema) {
        s.settings.reset(g_settings_new_full(s.schema.get(), backend, nullptr));
    }
    return s;
}

// file:// URIs are decoded (%20, UTF-8); a bare absolute path is taken as it is.
fs::path pathFromUri(const std::string& uri) {
    if (uri.rfind("file:", 0) == 0) {
        const GCharOwner name(g_filename_from_uri(uri.c_str(), nullptr, nullptr));
        return name ? fs::path(name.get()) : fs::path();
    }
    return !uri.empty() && uri.front() == '/' ? fs::path(uri) : fs::path();
}

std::string readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct XfceImages {
    std::string lastImage;
    std::string imagePath;
};

void onXfceElement(GMarkupParseContext*, const gchar* element, const gchar** names,
                   const gchar** values, gpointer data, GError**) {
    if (std::string_view(element) != "property") {
        return;
    }
    std::string_view name;
    const char* value = nullptr;
    for (int i = 0; names[i] != nullptr; ++i) {
        if (std::string_view(names[i]) == "name") {
            name = values[i];
        } else if (std::string_view(names[i]) == "value") {
            value = values[i];
        }
    }
    auto* images = static_cast<XfceImages*>(data);
    if (value != nullptr && name == "last-image" && images->lastImage.empty()) {
        images->lastImage = value;
    } else if (value != nullptr && name == "image-path" && images->imagePath.empty()) {
        images->imagePath = value;
    }
}

// A Plasma wallpaper package names a folder; its largest image ("3840x2160.png") is the picture.
fs::path packageImage(const fs::path& folder) {
    std::error_code error;
    fs::path best;
    long long bestArea = -1;
    for (const auto& entry : fs::directory_iterator(folder / "contents" / "images", error)) {
        int w = 0;
        int h = 0;
        const std::string stem = entry.path().stem().string();
        if (std::sscanf(stem.c_str(), "%dx%d", &w, &h) == 2 &&
            static_cast<long long>(w) * h > bestArea) {
            bestArea = static_cast<long long>(w) * h;
            best = entry.path();
        }
    }
    return best.empty() ? folder : best;
}

// From the opening single quote at `open`: the text up to the closing one, in which nothing is
// special. Returns where the quote closes, or the line's end.
std::size_t appendSingleQuoted(std::string_view line, std::size_t open, std::string& word) {
    const std::size_t close = line.find('\'', open + 1);
    word.append(line.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
    return close == std::string_view::npos ? line.size() : close;
}

// From the opening double quote at `open`: the text up to the closing one, a backslash keeping
// the character after it. Returns where the quote closes, or the line's end.
std::size_t appendDoubleQuoted(std::string_view line, std::size_t open, std::string& word) {
    std::size_t i = open + 1;
    for (; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        word.push_back(line[i]);
    }
    return i;
}

// Shell words with single quotes, double quotes and backslashes, as feh writes them.
std::vector<std::string> shellWords(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
            }
            inWord = false;
            continue;
        }
        if (c == '\'') {
            i = appendSingleQuoted(line, i, word);
        } else if (c == '"') {
            i = appendDoubleQuoted(line, i, word);
        } else if (c == '\\' && i + 1 < line.size()) {
            word.push_back(line[++i]);
        } else {
            word.push_back(c);
        }
        inWord = true;
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

fs::path fehLineImage(const std::vector<std::string>& words) {
    if (words.empty() || fs::path(words.front()).filename() != "feh") {
        return {};
    }
    auto option = std::find_if(words.begin(), words.end(),
                               [](const std::string& w) { return startsWith(w, "--bg-"); });
    auto image = std::find_if(option, words.end(),
                              [](const std::string& w) { return !w.empty() && w.front() != '-'; });
    return option == words.end() || image == words.end() ? fs::path() : fs::path(*image);
}

// sway's `set $name value`: where several names fit, the longest is put in place.
using Variables = std::map<std::string, std::string>;

std::string substitute(std::string_view word, const Variables& variables) {
    std::string result;
    while (!word.empty()) {
        const std::pair<const std::string, std::string>* longest = nullptr;
        for (const auto& variable : variables) {
            if (startsWith(word, variable.first) &&
                (longest == nullptr || variable.first.size() > longest->first.size())) {
                longest = &variable;
            }
        }
        result += longest != nullptr ? longest->second : word.substr(0, 1);
        word.remove_prefix(longest != nullptr ? longest->first.size() : 1);
    }
    return result;
}

// `output NAME ... bg|background FILE MODE`: a colour with the mode solid_color is no file; a
// relative file lies beside the config file.
fs::path outputLineImage(const std::vector<std::string>& words, const fs::path& home,
                         const fs::path& folder) {
    if (words.size() < 4 || words[0] != "output") {
        return {};
    }
    const auto bg = std::find_if(words.begin() + 2, words.end() - 1, [](const std::string& w) {
        return w == "bg" || w == "background";
    });
    if (bg == words.end() - 1 || (bg + 2 != words.end() && bg[2] == "solid_color")) {
        return {};
    }
    const fs::path path = startsWith(bg[1], "~/") ? home / bg[1].substr(2) : fs::path(bg[1]);
    return path.is_relative() ? folder / path : path;
}

// Lines inside `output NAME {` ... `}` are read as if each began with `output NAME`. Of several
// outputs' backgrounds the first that names a file is taken: which output shows the desktop is
// not known here. Included files are not read.
fs::path swayConfigImage(const fs::path& file, const fs::path& home) {
    std::ifstream in(file);
    Variables variables;
    std::vector<std::string> block;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> words = shellWords(line);
        if (words.empty() || words.front().starts_with('#')) {
            continue;
        }
        if (words.front() == "}") {
            block.clear();
            continue;
        }
        if (words.back() == "{") {
            block.assign(words.begin(), words.end() - 1);
            continue;
        }
        words.insert(words.begin(), block.begin(), block.end());
        const bool set = words[0] == "set" && words.size() > 2;
        std::string value;
        for (std::size_t i = set ? 2 : 1; i < words.size(); ++i) {
            words[i] = substitute(words[i], variables);
            value += (i > 2 ? " " : "") + words[i];
        }
        if (set) {
            variables[words[1]] = value;
        } else if (const fs::path image = outputLineImage(words, home, file.parent_path());
                   !image.empty()) {
            return image;
        }
    }
    return {};
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

fs::path gnomeWallpaper(GSettingsSchemaSource* schemas, GSettingsBackend* backend) {
    if (schemas == nullptr) {
        return {};
    }
    const Settings background = openSettings(schemas, "org.gnome.desktop.background", backend);
    if (background.text("picture-options") == "none") {
        return {};  // a solid colour
    }
    const Settings interface = openSettings(schemas, "org.gnome.desktop.interface", backend);
    const bool dark =
        interface.text("color-scheme") == "prefer-dark" && background.has("picture-uri-dark");
    const char* key = dark ? "picture-uri-dark" : "picture-uri";
    const fs::path path = pathFromUri(background.text(key));
    // The schema's own default names whatever the distribution meant to ship; it is the
    // wallpaper only if that file is there.
    std::error_code error;
    if (path.empty() || (!background.userSet(key) && !fs::exists(path, error))) {
        return {};
    }
    return path;
}

fs::path xfceWallpaper(const fs::path& config) {
    const std::string xml =
        readFile(config / "xfce4" / "xfconf" / "xfce-perchannel-xml" / "xfce4-desktop.xml");
    XfceImages images;
    const GMarkupParser parser{onXfceElement, nullptr, nullptr, nullptr, nullptr};
    const GMarkupParseContextOwner context(
        g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &images, nullptr));
    g_markup_parse_context_parse(context.get(), xml.data(), static_cast<gssize>(xml.size()),
                                 nullptr);
    return fs::path(!images.lastImage.empty() ? images.lastImage : images.imagePath);
}

fs::path kdeWallpaper(const fs::path& config) {
    std::ifstream file(config / "plasma-org.kde.plasma.desktop-appletsrc");
    std::string line;
    bool imageGroup = false;
    while (std::getline(file, line)) {
        if (startsWith(line, "[")) {
            imageGroup = endsWith(line, "[Wallpaper][org.kde.image][General]");
        } else if (imageGroup && startsWith(line, "Image=")) {
            const std::string value = line.substr(6);
            const fs::path path = startsWith(value, "file:") ? pathFromUri(value) : fs::path(value);
            std::error_code error;
            return fs::is_directory(path, error) ? packageImage(path) : path;
        }
    }
    return {};
}

fs::path fehWallpaper(const fs::path& home) {
    std::ifstream file(home / ".fehbg");
    std::string line;
    while (std::getline(file, line)) {
        const fs::path image = fehLineImage(shellWords(line));
        if (!image.empty()) {
            return image;
        }
    }
    return {};
}

fs::path swayWallpaper(const fs::path& home, const fs::path& config, const fs::path& system) {
    std::vector<fs::path> files = {home / ".sway" / "config", config / "sway" / "config",
                                   home / ".i3" / "config", config / "i3" / "config"};
    if (!system.empty()) {
        files.insert(files.end(), {system / "sway" / "config", system / "i3" / "config"});
    }
    // sway reads the first that exists and no other.
    for (const fs::path& file : files) {
        std::error_code error;
        if (fs::is_regular_file(file, error)) {
            return swayConfigImage(file, home);
        }
    }
    return {};
}

DesktopPlaces desktopPlacesFromEnvironment() {
    DesktopPlaces places;
    // HOME and XDG_CONFIG_HOME as GLib reads them, with the password database behind HOME.
    places.home = g_get_home_dir();
    places.config = g_get_user_config_dir();
    places.currentDesktop = environment("XDG_CURRENT_DESKTOP");
    places.schemas = g_settings_schema_source_get_default();
    return places;
}

fs::path findWallpaper(const DesktopPlaces& places) {
    const std::string desktop = lowerCase(places.currentDesktop);
    using Lookup = std::function<fs::path()>;
    std::vector<std::pair<std::string, Lookup>> lookups = {
        {"gnome", [&] { return gnomeWallpaper(places.schemas, places.backend); }},
        {"xfce", [&] { return xfceWallpaper(places.config); }},
        {"kde", [&] { return kdeWallpaper(places.config); }},
        {"feh", [&] { return fehWallpaper(places.home); }},
        // The system-wide config speaks for sway only while sway runs: any other desktop would
        // show sway's default picture.
        {"sway",
         [&] {
             return swayWallpaper(
                 places.home, places.config,
                 desktop.find("sway") != std::string::npos ? places.system : fs::path());
         }},
    };
    std::stable_partition(lookups.begin(), lookups.end(), [&](const auto& lookup) {
        return lookup.first != "gnome" && desktop.find(lookup.first) != std::string::npos;
    });
    fs::path first;
    for (const auto& lookup : lookups) {
        const fs::path path = lookup.second();
        std::error_code error;
        if (!path.empty() && fs::exists(path, error)) {
            return path;
        }
        if (first.empty()) {
            first = path;
        }
    }
    return first;
}

}  // namespace platform
