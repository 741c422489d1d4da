#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "platform/linux/desktop_wallpaper.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::DesktopPlaces;

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

struct BackendUnref {
    void operator()(GSettingsBackend* backend) const { g_object_unref(backend); }
};

// GSettings stored in a key file of our own, read through the installed schemas.
class KeyfileSettings {
  public:
    explicit KeyfileSettings(const std::string& text) {
        writeFile(dir_ / "keyfile", text);
        backend_.reset(g_keyfile_settings_backend_new((dir_ / "keyfile").c_str(), "/", nullptr));
    }
    fs::path wallpaper() const {
        return platform::gnomeWallpaper(g_settings_schema_source_get_default(), backend_.get());
    }

  private:
    TempDir dir_;
    std::unique_ptr<GSettingsBackend, BackendUnref> backend_;
};

TEST(GnomeWallpaper, ThePictureUriIsDecodedAndTheDarkOneTakenForADarkScheme) {
    TempDir dir;
    const std::string background =
        "[org/gnome/desktop/background]\n"
        "picture-uri='file://" +
        dir.path().string() +
        "/light%20one%C3%A9.png'\n"
        "picture-uri-dark='file://" +
        dir.path().string() + "/dark.jpg'\n";
    EXPECT_EQ(KeyfileSettings(background).wallpaper(), dir / "light one\xC3\xA9.png");
    EXPECT_EQ(KeyfileSettings(background + "[org/gnome/desktop/interface]\n"
                                           "color-scheme='prefer-dark'\n")
                  .wallpaper(),
              dir / "dark.jpg");
    EXPECT_EQ(KeyfileSettings(background + "[org/gnome/desktop/interface]\n"
                                           "color-scheme='prefer-light'\n")
                  .wallpaper(),
              dir / "light one\xC3\xA9.png");
    // A solid colour: the picture is switched off, whatever it names.
    EXPECT_EQ(KeyfileSettings(background + "picture-options='none'\n").wallpaper(), fs::path());
    // A bare path is taken as it is; anything else is no file.
    EXPECT_EQ(
        KeyfileSettings("[org/gnome/desktop/background]\npicture-uri='/srv/w.png'\n").wallpaper(),
        fs::path("/srv/w.png"));
    EXPECT_EQ(KeyfileSettings("[org/gnome/desktop/background]\npicture-uri='http://x/w.png'\n")
                  .wallpaper(),
              fs::path());
    EXPECT_EQ(platform::gnomeWallpaper(nullptr, nullptr), fs::path());
}

TEST(GnomeWallpaper, TheSchemaDefaultCountsOnlyWhenItsFileExists) {
    const fs::path fromDefault = KeyfileSettings("").wallpaper();
    if (!fromDefault.empty()) {
        EXPECT_TRUE(fs::exists(fromDefault)) << fromDefault;
    }
    // A value the user set counts even when its file is gone: the failure then names it.
    EXPECT_EQ(KeyfileSettings("[org/gnome/desktop/background]\n"
                              "picture-uri='file:///gone/away.png'\n")
                  .wallpaper(),
              fs::path("/gone/away.png"));
}

TEST(DesktopFiles, EachDesktopsOwnSettingIsRead) {
    TempDir home;
    const fs::path config = home / ".config";
    writeFile(config / "xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml",
              "<channel name=\"xfce4-desktop\"><property name=\"backdrop\" type=\"empty\">"
              "<property name=\"image-path\" type=\"string\" value=\"/old/path.png\"/>"
              "<property name=\"monitorVirtual-1\" type=\"empty\"><property name=\"last-image\" "
              "type=\"string\" value=\"/usr/share/Tom &amp; Jerry.jpg\"/></property>"
              "</property></channel>");
    EXPECT_EQ(platform::xfceWallpaper(config), fs::path("/usr/share/Tom & Jerry.jpg"));

    writeFile(config / "plasma-org.kde.plasma.desktop-appletsrc",
              "[Containments][1]\nImage=/not/this.png\nplugin=org.kde.plasma.folder\n\n"
              "[Containments][1][Wallpaper][org.kde.image][General]\n"
              "Image=file:///home/me/My%20Pictures/k.png\nSlidePaths=/x/\n");
    EXPECT_EQ(platform::kdeWallpaper(config), fs::path("/home/me/My Pictures/k.png"));

    writeFile(home / ".fehbg",
              "#!/bin/sh\nfeh --no-fehbg --bg-fill '/home/me/it'\\''s here.jpg' '/second.png' \n");
    EXPECT_EQ(platform::fehWallpaper(home.path()), fs::path("/home/me/it's here.jpg"));

    TempDir empty;
    EXPECT_EQ(platform::xfceWallpaper(empty.path()), fs::path());
    EXPECT_EQ(platform::kdeWallpaper(empty.path()), fs::path());
    EXPECT_EQ(platform::fehWallpaper(empty.path()), fs::path());
}

TEST(DesktopFiles, APlasmaWallpaperPackageGivesItsLargestImage) {
    TempDir home;
    const fs::path package = home / "wallpapers/Next";
    for (const char* name : {"1920x1080.png", "3840x2160.jpg", "800x600.png", "screenshot.png"}) {
        writeFile(package / "contents/images" / name, "x");
    }
    writeFile(home / "config/plasma-org.kde.plasma.desktop-appletsrc",
              "[Containments][7][Wallpaper][org.kde.image][General]\nImage=file://" +
                  package.string() + "/\n");
    EXPECT_EQ(platform::kdeWallpaper(home / "config"), package / "contents/images/3840x2160.jpg");
}

TEST(FindWallpaper, TheRunningDesktopFirstAndAnExistingFileBeforeAMissingOne) {
    TempDir home;
    const fs::path config = home / ".config";
    const fs::path xfceImage = home / "xfce.png";
    const fs::path kdeImage = home / "kde.png";
    const fs::path fehImage = home / "feh.png";
    writeFile(config / "xfce4/xfconf/xfce-perchannel-xml/xfce4-desktop.xml",
              "<channel><property name=\"last-image\" type=\"string\" value=\"" +
                  xfceImage.string() + "\"/></channel>");
    writeFile(
        config / "plasma-org.kde.plasma.desktop-appletsrc",
        "[Containments][1][Wallpaper][org.kde.image][General]\nImage=" + kdeImage.string() + "\n");
    writeFile(home / ".fehbg", "feh --bg-scale '" + fehImage.string() + "'\n");
    DesktopPlaces places{home.path(), config, "", nullptr, nullptr};

    // None of the files exists: the first path found is reported.
    EXPECT_EQ(platform::findWallpaper(places), xfceImage);
    places.currentDesktop = "KDE";
    EXPECT_EQ(platform::findWallpaper(places), kdeImage);

    writeFile(fehImage, "x");
    EXPECT_EQ(platform::findWallpaper(places), fehImage);
    writeFile(xfceImage, "x");
    places.currentDesktop = "";
    EXPECT_EQ(platform::findWallpaper(places), xfceImage);
    places.currentDesktop = "ubuntu:KDE";
    EXPECT_EQ(platform::findWallpaper(places), xfceImage);  // KDE's file is missing
    writeFile(kdeImage, "x");
    EXPECT_EQ(platform::findWallpaper(places), kdeImage);

    TempDir nothing;
    EXPECT_EQ(platform::findWallpaper({nothing.path(), nothing.path(), "XFCE", nullptr, nullptr}),
              fs::path());
}

}  // namespace
