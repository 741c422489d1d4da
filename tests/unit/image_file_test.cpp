#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "sources/image_file.h"
#include "sources/image_header.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const std::string& extension, const cv::Mat& image, std::vector<int> params = {}) {
    Bytes bytes;
    EXPECT_TRUE(cv::imencode(extension, image, bytes, params)) << extension;
    return bytes;
}

// Writes `bytes` to the file `name` in `dir` and returns its path.
std::filesystem::path writeFile(const TempDir& dir, const std::string& name, const Bytes& bytes) {
    const std::filesystem::path file = dir / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return file;
}

cv::Mat pattern(cv::Size size, int type) {
    cv::Mat image(size, type);
    cv::RNG rng(7);
    rng.fill(image, cv::RNG::UNIFORM, 0, CV_MAT_DEPTH(type) == CV_16U ? 65536 : 256);
    return image;
}

void putBigEndian32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (24 - 8 * i));
    }
}

// The offset of the first JPEG marker `code`, walking the segments from the start.
std::size_t jpegMarker(const Bytes& jpeg, unsigned char code) {
    std::size_t at = 2;
    while (jpeg[at + 1] != code) {
        at += 2 + (std::size_t{jpeg[at + 2]} << 8 | jpeg[at + 3]);
    }
    return at;
}

TEST(LoadImageFile, EveryPngLayoutDecodesToEightBitBgr) {
    TempDir dir;
    cv::Mat sixteen(3, 4, CV_16UC3, cv::Scalar(0x1234, 0xABCD, 0xFF00));
    cv::Mat bgra(3, 4, CV_8UC4, cv::Scalar(10, 20, 30, 128));
    cv::Mat gray(3, 4, CV_8UC1, cv::Scalar(77));
    cv::Mat gray16(3, 4, CV_16UC1, cv::Scalar(0x4000));
    const struct {
        const char* name;
        cv::Mat image;
        cv::Vec3b pixel;
    } cases[] = {{"sixteen.png", sixteen, {0x12, 0xAB, 0xFF}},
                 {"bgra.png", bgra, {10, 20, 30}},
                 {"gray.png", gray, {77, 77, 77}},
                 {"gray16.png", gray16, {0x40, 0x40, 0x40}}};
    for (const auto& c : cases) {
        const cv::Mat loaded = loadImageFile(writeFile(dir, c.name, encode(".png", c.image)));
        ASSERT_EQ(loaded.type(), CV_8UC3) << c.name;
        EXPECT_EQ(loaded.size(), cv::Size(4, 3)) << c.name;
        EXPECT_EQ(loaded.at<cv::Vec3b>(2, 3), c.pixel) << c.name;
    }
}

TEST(LoadImageFile, JpegWebpAndBmpDecodeAtTheirOwnSize) {
    TempDir dir;
    const cv::Mat image = pattern({37, 21}, CV_8UC3);
    for (const char* extension : {".jpg", ".webp", ".bmp"}) {
        const cv::Mat loaded =
            loadImageFile(writeFile(dir, std::string("f") + extension, encode(extension, image)));
        EXPECT_EQ(loaded.size(), image.size()) << extension;
        EXPECT_EQ(loaded.type(), CV_8UC3) << extension;
    }
    const cv::Mat bmp = loadImageFile(writeFile(dir, "exact.bmp", encode(".bmp", image)));
    EXPECT_EQ(cv::norm(bmp, image, cv::NORM_INF), 0.0);
}

TEST(LoadImageFile, OpensPathsWithNonAsciiNames) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "Bilder – 壁紙");
    const cv::Mat image = pattern({5, 4}, CV_8UC3);
    const cv::Mat loaded =
        loadImageFile(writeFile(dir, "Bilder – 壁紙/Hintergrund ÄÖÜ ß.png", encode(".png", image)));
    ASSERT_FALSE(loaded.empty());
    EXPECT_EQ(cv::norm(loaded, image, cv::NORM_INF), 0.0);
}

TEST(LoadImageFile, RefusesWhatIsNoRegularFile) {
    TempDir dir;
    const std::filesystem::path png =
        writeFile(dir, "real.png", encode(".png", pattern({4, 4}, CV_8UC3)));
    std::filesystem::create_symlink(png, dir.path() / "link.png");
    std::filesystem::create_symlink(dir.path() / "gone.png", dir.path() / "dangling.png");
    const std::string fifo = (dir.path() / "fifo.png").string();
    ASSERT_EQ(std::system(("mkfifo '" + fifo + "'").c_str()), 0);

    EXPECT_FALSE(loadImageFile(dir.path() / "link.png").empty());  // a link to a file is fine
    EXPECT_TRUE(loadImageFile(dir.path() / "dangling.png").empty());
    EXPECT_TRUE(loadImageFile(dir.path() / "missing.png").empty());
    EXPECT_TRUE(loadImageFile(dir.path()).empty());
    EXPECT_TRUE(loadImageFile(fifo).empty());         // would wait forever for a writer if opened
    EXPECT_TRUE(loadImageFile("/dev/zero").empty());  // would never end if read
    EXPECT_TRUE(loadImageFile("").empty());
}

TEST(LoadImageFile, RefusesEmptyAndOversizedFilesWithoutReadingThem) {
    TempDir dir;
    EXPECT_TRUE(loadImageFile(writeFile(dir, "empty.png", {})).empty());

    // A good PNG padded with zeros after its end: it decodes as long as it is within the limit.
    const Bytes png = encode(".png", pattern({4, 4}, CV_8UC3));
    const std::filesystem::path padded = writeFile(dir, "padded.png", png);
    std::filesystem::resize_file(padded, 4096);
    EXPECT_FALSE(loadImageFile(padded).empty());
    std::filesystem::resize_file(padded, kMaxImageFileBytes + 1);  // sparse: no disk is used
    EXPECT_TRUE(loadImageFile(padded).empty());
    std::filesystem::resize_file(padded, std::uintmax_t{3} << 30);
    EXPECT_TRUE(loadImageFile(padded).empty());
}

TEST(LoadImageFile, RefusesEveryTruncationOfAPngAndAJpeg) {
    const cv::Mat image = pattern({16, 12}, CV_8UC3);
    for (const char* extension : {".png", ".jpg"}) {
        const Bytes whole = encode(extension, image);
        ASSERT_FALSE(decodeImageBytes(whole).empty()) << extension;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const Bytes cut(whole.begin(), whole.begin() + static_cast<long>(length));
            EXPECT_TRUE(decodeImageBytes(cut).empty()) << extension << " cut at " << length;
        }
    }
    TempDir dir;
    const Bytes jpeg = encode(".jpg", image);
    const Bytes half(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    EXPECT_TRUE(loadImageFile(writeFile(dir, "half.jpg", half)).empty());
}

TEST(LoadImageFile, RefusesAValidHeaderFollowedByGarbage) {
    const cv::Mat image = pattern({16, 12}, CV_8UC3);
    Bytes garbage(4000);
    cv::RNG rng(11);
    for (unsigned char& byte : garbage) {
        byte = static_cast<unsigned char>(rng.uniform(0, 0xFF));  // never 0xFF: no marker
    }
    const Bytes png = encode(".png", image);
    Bytes pngHead(png.begin(), png.begin() + 33);  // signature and IHDR chunk
    pngHead.insert(pngHead.end(), garbage.begin(), garbage.end());
    EXPECT_TRUE(decodeImageBytes(pngHead).empty());

    const Bytes jpeg = encode(".jpg", image);
    const std::size_t scan = jpegMarker(jpeg, 0xDA);
    Bytes jpegHead(jpeg.begin(), jpeg.begin() + static_cast<long>(scan) + 14);
    jpegHead.insert(jpegHead.end(), garbage.begin(), garbage.end());
    EXPECT_TRUE(decodeImageBytes(jpegHead).empty());

    TempDir dir;
    EXPECT_TRUE(loadImageFile(writeFile(dir, "garbage.png", pngHead)).empty());
    EXPECT_TRUE(loadImageFile(writeFile(dir, "text.png", {'n', 'o', ' ', 'i', 'm', 'g'})).empty());
}

TEST(LoadImageFile, RefusesImagesDeclaringMoreThanThePixelLimit) {
    // A PNG claiming 100000 x 100000 pixels: refused from its header.
    Bytes png = encode(".png", pattern({1, 1}, CV_8UC3));
    putBigEndian32(png, 16, 100000);
    putBigEndian32(png, 20, 100000);
    ASSERT_EQ(imageSizeFromHeader(png), cv::Size(100000, 100000));
    TempDir dir;
    EXPECT_TRUE(loadImageFile(writeFile(dir, "bomb.png", png)).empty());

    // A small JPEG claiming 8000 x 7000: the decoder would fill 168 MB of gray without the limit.
    Bytes jpeg = encode(".jpg", pattern({16, 8}, CV_8UC3));
    const std::size_t frame = jpegMarker(jpeg, 0xC0);
    jpeg[frame + 5] = 7000 >> 8;
    jpeg[frame + 6] = 7000 & 0xFF;
    jpeg[frame + 7] = 8000 >> 8;
    jpeg[frame + 8] = 8000 & 0xFF;
    ASSERT_EQ(imageSizeFromHeader(jpeg), cv::Size(8000, 7000));
    EXPECT_TRUE(loadImageFile(writeFile(dir, "bomb.jpg", jpeg)).empty());

    // The limit itself: an image of exactly the limit decodes, one pixel more does not.
    const Bytes small = encode(".png", pattern({50, 20}, CV_8UC3));
    EXPECT_FALSE(decodeImageBytes(small, 1000).empty());
    EXPECT_TRUE(decodeImageBytes(small, 999).empty());
    EXPECT_GE(kMaxImagePixels, std::uint64_t{7680} * 4320);
}

TEST(LoadImageFile, RefusesFormatsOutsideTheAcceptedFour) {
    const cv::Mat image = pattern({64, 64}, CV_8UC3);
    for (const char* extension : {".tiff", ".ppm", ".jp2", ".hdr", ".ras"}) {
        Bytes bytes;
        if (!cv::imencode(extension, image, bytes)) {
            continue;  // no encoder for it in this build of the library
        }
        EXPECT_FALSE(cv::imdecode(bytes, cv::IMREAD_COLOR).empty()) << extension;
        EXPECT_TRUE(decodeImageBytes(bytes).empty()) << extension;
    }
}

}  // namespace
