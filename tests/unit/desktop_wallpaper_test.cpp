#include <fstream>
#include <memory>

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
    const auto expand = [&](std::string text) {
        for (std::size_t at; (at = text.find('~')) != std::string::npos;) {
            text.replace(at, 1, dir);
        }
        return text;
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

// Each desktop's own setting alone; none of the files exists, so the first path found wins.
TEST(DesktopWallpaper, EachDesktopsSettingIsReadByItsOwnRules) {
    const std::string uris = kBackground + "picture-uri='file://~/light%20%C3%A9.png'\n" +
                             "picture-uri-dark='file://~/dark.jpg'\n";
    const std::string dark = "[org/gnome/desktop/interface]\ncolor-scheme='prefer-dark'\n";
    const struct {
        Files files;
        std::string expected;
    } cases[] = {
        {{{"~/keyfile", uris}}, "~/light \xC3\xA9.png"},
        {{{"~/keyfile", uris + dark}}, "~/dark.jpg"},
        {{{"~/keyfile", uris + "picture-options='none'\n"}}, ""},  // a solid colour
        {{{"~/keyfile", kBackground + "picture-uri='/srv/w.png'\n"}}, "/srv/w.png"},
        {{{"~/keyfile", kBackground + "picture-uri='http://host/w.png'\n"}}, ""},
        {{{kXfce,
           "<channel><property name=\"image-path\" value=\"/old.png\"/><property "
           "name=\"m1\"><property name=\"last-image\" value=\"/T &amp; J.jpg\"/>"
           "</property></channel>"}},
         "/T & J.jpg"},
        {{{kKde,
           "[Containments][1]\nImage=/not/this.png\n[Containments][1][Wallpaper]"
           "[org.kde.image][General]\nImage=file:///My%20Pictures/k.png\n"}},
         "/My Pictures/k.png"},
        // A wallpaper package: its largest image.
        {{{kKde, "[Containments][7][Wallpaper][org.kde.image][General]\nImage=file://~/P/\n"},
          {"~/P/contents/images/1920x1080.png", ""},
          {"~/P/contents/images/1000x2160.jpg", ""}},
         "~/P/contents/images/1000x2160.jpg"},
        {{{"~/.fehbg", "#!/bin/sh\nfeh --no-fehbg --bg-fill '~/it'\\''s.jpg' '/second.png'\n"}},
         "~/it's.jpg"},
        {{}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lookUp(c.files), c.expected);
    }
    // A value nobody set (the schema's default) counts only when its file exists.
    const std::string fromDefault = lookUp({{"~/keyfile", dark}});
    EXPECT_TRUE(fromDefault.empty() || fs::exists(fromDefault)) << fromDefault;
}

// GNOME, XFCE, Plasma and feh each name ~/NAME.png: the running desktop's own setting comes
// first, then that order, and an existing file before a missing one.
TEST(DesktopWallpaper, TheRunningDesktopFirstThenTheFixedOrderAndExistingFilesFirst) {
    const struct {
        const char* desktop;
        std::vector<std::string> existing;
        std::string expected;
    } cases[] = {
        {"", {}, "gnome"},
        {"", {"feh"}, "feh"},
        {"", {"kde", "feh"}, "kde"},
        {"", {"xfce", "kde", "feh"}, "xfce"},
        {"ubuntu:KDE", {}, "kde"},
        {"ubuntu:KDE", {"xfce", "feh"}, "xfce"},
        {"XFCE", {"gnome", "xfce", "kde"}, "xfce"},
    };
    for (const auto& c : cases) {
        Files files{{"~/keyfile", kBackground + "picture-uri='file://~/gnome.png'\n"},
                    {kXfce, "<channel><property name=\"last-image\" value=\"~/xfce.png\"/>"},
                    {kKde, "[a][Wallpaper][org.kde.image][General]\nImage=~/kde.png\n"},
                    {"~/.fehbg", "feh --bg-scale ~/feh.png\n"}};
        for (const std::string& name : c.existing) {
            files.emplace_back("~/" + name + ".png", "");
        }
        EXPECT_EQ(lookUp(files, c.desktop), "~/" + c.expected + ".png") << c.desktop;
    }
}

}  // namespace
