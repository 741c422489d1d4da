#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "sources/image_file.h"
#include "sources/image_header.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Path = std::filesystem::path;

Bytes encode(const std::string& extension, const cv::Mat& image,
             const std::vector<int>& params = {}) {
    Bytes bytes;
    EXPECT_TRUE(cv::imencode(extension, image, bytes, params)) << extension;
    return bytes;
}

cv::Mat pattern(cv::Size size) {
    cv::Mat image(size, CV_8UC3);
    cv::RNG(7).fill(image, cv::RNG::UNIFORM, 0, 256);
    return image;
}

Path writeFile(const TempDir& dir, const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return dir / name;
}

// Stores `value` in `count` bytes at `at`, most significant first unless `little`.
Bytes with(Bytes bytes, std::size_t at, std::uint32_t value, int count, bool little = false) {
    for (int i = 0; i < count; ++i) {
        const int shift = 8 * (little ? i : count - 1 - i);
        bytes.at(at + static_cast<std::size_t>(i)) = static_cast<unsigned char>(value >> shift);
    }
    return bytes;
}

// WebP's extended format declaring 10000 x 10000 (24-bit sides, stored minus one).
const Bytes kExtendedWebp = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E',  'B',  'P', 'V',  'P',  '8',
                             'X', 10,  0,   0,   0, 0, 0, 0, 0,   0x0F, 0x27, 0,   0x0F, 0x27, 0};

// A BMP with the 12-byte header of OS/2 1.x, 7 x 5 pixels of 24 bits.
const Bytes kOs2Bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0,  0,
                       0,   12,  0, 0, 0, 7, 0, 5, 0, 1, 0,  24, 0};

Bytes head(const Bytes& bytes, std::size_t length) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(length));
}

TEST(ImageSizeFromHeader, ReadsTheDeclaredSizeAndRefusesABrokenStructure) {
    const Bytes jpeg = encode(".jpg", pattern({40, 30})), thumb = encode(".jpg", pattern({8, 8}));
    const Bytes png = encode(".png", pattern({5, 3})), bmp = encode(".bmp", pattern({7, 5}));
    // An APP1 segment carrying a whole small JPEG, with its own end marker, before the frame.
    Bytes withThumb = {0xFF, 0xD8, 0xFF, 0xE1, 0, 0};
    withThumb.insert(withThumb.end(), thumb.begin(), thumb.end());
    withThumb = with(withThumb, 4, static_cast<std::uint32_t>(thumb.size() + 2), 2);
    withThumb.insert(withThumb.end(), jpeg.begin() + 2, jpeg.end());
    const std::optional<cv::Size> none;
    const struct {
        Bytes bytes;
        std::optional<cv::Size> size;
    } cases[] = {
        {withThumb, cv::Size(40, 30)},
        {head(withThumb, withThumb.size() - 2), none},  // the thumbnail's end is not the image's
        {png, cv::Size(5, 3)},
        {with(png, 33, 0xFFFFFFFF, 4), none},  // the chunk after the header claims 4 GiB
        {with(png, 16, 0, 4), none},
        {with(png, 12, 'X', 1), none},  // no header chunk
        {bmp, cv::Size(7, 5)},
        {kOs2Bmp, cv::Size(7, 5)},  // the oldest header: 16-bit sizes
        {with(kOs2Bmp, 20, 0, 2, true), none},
        {head(kOs2Bmp, 25), none},
        {with(bmp, 22, static_cast<std::uint32_t>(-5), 4, true), cv::Size(7, 5)},  // top-down
        {with(bmp, 22, 0x80000000u, 4, true), none},
        {with(bmp, 18, static_cast<std::uint32_t>(-7), 4, true), none},
        {encode(".webp", pattern({33, 17})), cv::Size(33, 17)},
        {kExtendedWebp, cv::Size(10000, 10000)},
        {head(kExtendedWebp, 29), none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << &c - cases);
        EXPECT_EQ(imageSizeFromHeader(c.bytes), c.size);
    }
}

TEST(ReadImageFile, DecodesTheFourFormatsAndNamesTheReasonOfEachRefusal) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Bilder – 壁紙");
    const cv::Mat image = pattern({16, 12}), image16(12, 16, CV_16UC3, {0x1234, 0xABCD, 0xFF00});
    const Bytes png = encode(".png", image), jpeg = encode(".jpg", image);
    const Bytes bmp = encode(".bmp", image);
    const Bytes sof = {0xFF, 0xC0};  // start of frame
    const auto frame = std::search(jpeg.begin(), jpeg.end(), sof.begin(), sof.end()) - jpeg.begin();
    Bytes pngGarbage = head(png, 33);  // signature and header chunk, then no chunks
    pngGarbage.resize(5000, 'x');
    std::filesystem::create_symlink(dir / "f.jpg", dir / "link.png");
    std::filesystem::create_symlink(dir / "gone.png", dir / "dangling.png");
    ASSERT_EQ(std::system(("mkfifo '" + (dir / "fifo.png").string() + "'").c_str()), 0);
    const auto file = [&](const std::string& name, const Bytes& bytes) {
        return writeFile(dir, name, bytes);
    };
    const Path huge = file("huge.png", png);
    std::filesystem::resize_file(huge, kMaxFileBytes + 1);  // sparse: no disk is used
    const std::string notAccepted = "not a PNG, JPEG, WebP or BMP image";
    const std::string tooLarge = "image larger than 50 megapixels";
    const std::string corrupt = "incomplete or corrupt image";
    const Path padded = file("padded.bmp", bmp);
    std::filesystem::resize_file(padded, 4096);  // zeros after the end are still within limits
    const struct {
        Path path;
        std::string reason;
    } cases[] = {
        {file("Bilder – 壁紙/Hintergrund ÄÖÜ ß.png", png), ""},
        {padded, ""},
        {file("f.jpg", jpeg), ""},
        {file("f.webp", encode(".webp", image)), ""},
        {file("16.png", encode(".png", image16)), ""},
        {dir / "link.png", ""},  // a link to a file is read like the file
        {dir / "missing.png", "no such file"},
        {dir / "dangling.png", "no such file"},
        {dir.path(), "not a regular file"},
        {dir / "fifo.png", "not a regular file"},  // would wait for a writer if opened
        {"/dev/zero", "not a regular file"},       // would never end if read
        {huge, "larger than 2 GiB"},
        {file("empty.png", {}), notAccepted},
        {file("text.png", {'n', 'o', ' ', 'i', 'm', 'g'}), notAccepted},
        {file("f.tiff", encode(".tiff", image)), notAccepted},
        {file("bomb.png", with(with(png, 16, 100000, 4), 20, 100000, 4)), tooLarge},
        {file("bomb.jpg", with(with(jpeg, frame + 5, 7000, 2), frame + 7, 8000, 2)), tooLarge},
        {file("bomb.webp", kExtendedWebp), tooLarge},
        {file("bomb.bmp", with(with(bmp, 18, 9000, 4, true), 22, 9000, 4, true)), tooLarge},
        {file("garbage.png", pngGarbage), corrupt},
        // Within the limit, but wider than the decoder accepts: it raises.
        {file("wide.bmp", with(with(bmp, 18, 1048577, 4, true), 22, 1, 4, true)), corrupt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const ImageRead read = readImageFile(c.path);
        EXPECT_EQ(read.refusal, c.reason);
        EXPECT_EQ(read.image.size(), c.reason.empty() ? image.size() : cv::Size());
        EXPECT_TRUE(read.image.empty() || read.image.type() == CV_8UC3);
    }
}

TEST(DecodeImageBytes, RefusesEveryTruncationOfAPngAndAJpeg) {
    for (const char* extension : {".png", ".jpg"}) {
        SCOPED_TRACE(extension);
        const Bytes whole = encode(extension, pattern({16, 12}));
        ASSERT_FALSE(decodeImageBytes(whole).empty()) << extension;
        for (std::size_t length = 0; length < whole.size(); ++length) {
            EXPECT_TRUE(decodeImageBytes(head(whole, length)).empty()) << extension << length;
        }
    }
}

TEST(DecodeImageBytes, AnImageOfExactlyThePixelLimitDecodes) {
    const Bytes small = encode(".png", pattern({50, 20}));
    EXPECT_FALSE(decodeImageBytes(small, 1000).empty());
    EXPECT_TRUE(decodeImageBytes(small, 999).empty());
    EXPECT_GE(kMaxImagePixels, std::uint64_t{7680} * 4320);
}

}  // namespace
