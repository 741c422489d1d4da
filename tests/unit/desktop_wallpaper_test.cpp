#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "platform/linux/desktop_wallpaper.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Files = std::vector<std::pair<std::string, std::string>>;

const char* const kXfce = "~/.config/xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml";
const char* const kKde = "~/.config/plasma-org.kde.plasma.desktop-appletsrc";
const std::string kBackground = "[org/gnome/desktop/background]\n";

// The wallpaper found in a fresh home holding `files`, GSettings in "~/keyfile" when that is
// given. "~" stands for the home in the names, the texts and the answer.
std::string lookUp(const Files& files, const char* desktop = "") {
    TempDir home;
    const std::string dir = home.path().string();
    const auto expand = [&](const std::string& text) {
        return std::regex_replace(text, std::regex("~"), dir);
    };
    for (const auto& [name, text] : files) {
        fs::create_directories(fs::path(expand(name)).parent_path());
        std::ofstream(expand(name)) << expand(text);
    }
    const std::unique_ptr<GSettingsBackend, void (*)(gpointer)> backend(
        g_keyfile_settings_backend_new((dir + "/keyfile").c_str(), "/", nullptr), g_object_unref);
    GSettingsSchemaSource* schemas =
        fs::exists(dir + "/keyfile") ? g_settings_schema_source_get_default() : nullptr;
    const std::string found =
        platform::findWallpaper({home.path(), home / ".config", desktop, schemas, backend.get()});
    return found.starts_with(dir) ? std::string("~").append(found, dir.size()) : found;
}

// Each desktop's own setting, with its rules; then every desktop naming ~/NAME.png, where the
// running desktop's own comes first, then the fixed order. An existing file wins, otherwise the
// first path found.
TEST(DesktopWallpaper, TheRunningDesktopsSettingFirstThenTheFixedOrderEachByItsOwnRules) {
    const std::string uris = kBackground + "picture-uri='file://~/light%20%C3%A9.png'\n" +
                             "picture-uri-dark='file://~/dark.jpg'\n";
    const std::string dark = "[org/gnome/desktop/interface]\ncolor-scheme='prefer-dark'\n";
    const auto every = [](const std::string& existing) {
        Files files{{"~/keyfile", kBackground + "picture-uri='file://~/gnome.png'\n"},
                    {kXfce, "<channel><property name=\"last-image\" value=\"~/xfce.png\"/>"},
                    {kKde, "[a][Wallpaper][org.kde.image][General]\nImage=~/kde.png\n"},
                    {"~/.fehbg", "feh --bg-scale ~/feh.png\n"}};
        std::istringstream names(existing);
        for (std::string name; names >> name;) {
            files.emplace_back("~/" + name + ".png", "");
        }
        return files;
    };
    const struct {
        Files files;
        std::string expected;
        const char* desktop = "";  // XDG_CURRENT_DESKTOP
    } cases[] = {
        {{{"~/keyfile", uris}}, "~/light \xC3\xA9.png"},
        {{{"~/keyfile", uris + dark}}, "~/dark.jpg"},
        {{{"~/keyfile", uris + "picture-options='none'\n"}}, ""},  // a solid colour
        {{{"~/keyfile", kBackground + "picture-uri='/srv/w.png'\n"}}, "/srv/w.png"},
        {{{kXfce,
           "<c><property name=\"image-path\" value=\"/o.png\"/><p><property "
           "name=\"last-image\" value=\"/T &amp; J.jpg\"/></p></c>"}},
         "/T & J.jpg"},
        {{{kKde,
           "[a]\nImage=/no.png\n[a][Wallpaper][org.kde.image][General]\nImage=file:///M%20P/"
           "k.png\n"}},
         "/M P/k.png"},
        // A wallpaper package: its largest image.
        {{{kKde, "[Containments][7][Wallpaper][org.kde.image][General]\nImage=file://~/P/\n"},
          {"~/P/contents/images/1920x1080.png", ""},
          {"~/P/contents/images/1000x2160.jpg", ""}},
         "~/P/contents/images/1000x2160.jpg"},
        {{{"~/.fehbg", "#!/bin/sh\nfeh --image-bg black --bg-fill '~/it'\\''s.jpg' '/2.png'\n"}},
         "~/it's.jpg"},
        {every(""), "~/gnome.png"},
        {every("feh"), "~/feh.png"},
        {every("kde feh"), "~/kde.png"},
        {every("xfce kde feh"), "~/xfce.png"},
        {every(""), "~/kde.png", "ubuntu:KDE"},
        {every("xfce feh"), "~/xfce.png", "ubuntu:KDE"},
        {every("gnome xfce kde"), "~/xfce.png", "XFCE"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lookUp(c.files, c.desktop), c.expected) << c.desktop;
    }
    // A value nobody set (the schema's default) counts only when its file exists.
    const std::string fromDefault = lookUp({{"~/keyfile", dark}});
    EXPECT_TRUE(fromDefault.empty() || fs::exists(fromDefault)) << fromDefault;
}

}  // namespace
