#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "sources/image_header.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes encode(const std::string& extension, cv::Size size) {
    Bytes bytes;
    cv::Mat image(size, CV_8UC3);
    cv::randu(image, 0, 256);
    EXPECT_TRUE(cv::imencode(extension, image, bytes));
    return bytes;
}

void putLittleEndian(Bytes& bytes, std::size_t at, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
    }
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(ImageSizeFromHeader, JpegEndIsLookedForAfterTheScanNotInsideAThumbnail) {
    const Bytes jpeg = encode(".jpg", {40, 30});
    ASSERT_EQ(imageSizeFromHeader(jpeg), cv::Size(40, 30));
    // An APP1 segment carrying a whole small JPEG (with its own end marker) before the frame.
    const Bytes thumb = encode(".jpg", {8, 8});
    const std::size_t length = thumb.size() + 2;
    const Bytes app1 = concat({{0xFF, 0xE1, static_cast<unsigned char>(length >> 8),
                                static_cast<unsigned char>(length & 0xFF)},
                               thumb});
    const Bytes withThumb = concat({{0xFF, 0xD8}, app1, Bytes(jpeg.begin() + 2, jpeg.end())});
    EXPECT_EQ(imageSizeFromHeader(withThumb), cv::Size(40, 30));
    const Bytes cut(withThumb.begin(), withThumb.end() - 2);
    EXPECT_EQ(imageSizeFromHeader(cut), std::nullopt);
    // Fill bytes before a marker are allowed.
    const Bytes filled = concat({{0xFF, 0xD8, 0xFF, 0xFF}, Bytes(jpeg.begin() + 2, jpeg.end())});
    EXPECT_EQ(imageSizeFromHeader(filled), cv::Size(40, 30));
}

TEST(ImageSizeFromHeader, PngChunkLengthsCannotReachPastTheEnd) {
    const Bytes png = encode(".png", {5, 3});
    ASSERT_EQ(imageSizeFromHeader(png), cv::Size(5, 3));
    Bytes huge = png;
    huge[33] = huge[34] = huge[35] = huge[36] = 0xFF;  // the chunk after IHDR claims 4 GiB
    EXPECT_EQ(imageSizeFromHeader(huge), std::nullopt);
    Bytes zeroWidth = png;
    zeroWidth[16] = zeroWidth[17] = zeroWidth[18] = zeroWidth[19] = 0;
    EXPECT_EQ(imageSizeFromHeader(zeroWidth), std::nullopt);
    Bytes notFirst = png;
    notFirst[12] = 'X';  // IHDR renamed: the header chunk is missing
    EXPECT_EQ(imageSizeFromHeader(notFirst), std::nullopt);
}

TEST(ImageSizeFromHeader, BmpHeightsMayBeNegativeWidthsMayNot) {
    Bytes bmp = encode(".bmp", {7, 5});
    ASSERT_EQ(imageSizeFromHeader(bmp), cv::Size(7, 5));
    putLittleEndian(bmp, 22, static_cast<std::uint32_t>(-5), 4);  // rows stored top-down
    EXPECT_EQ(imageSizeFromHeader(bmp), cv::Size(7, 5));
    putLittleEndian(bmp, 22, 0x80000000u, 4);
    EXPECT_EQ(imageSizeFromHeader(bmp), std::nullopt);
    putLittleEndian(bmp, 22, 5, 4);
    putLittleEndian(bmp, 18, static_cast<std::uint32_t>(-7), 4);
    EXPECT_EQ(imageSizeFromHeader(bmp), std::nullopt);
    EXPECT_EQ(imageSizeFromHeader(Bytes{'B', 'M', 0, 0}), std::nullopt);
}

TEST(ImageSizeFromHeader, WebpSizesOfAllThreeBitstreams) {
    EXPECT_EQ(imageSizeFromHeader(encode(".webp", {33, 17})), cv::Size(33, 17));
    // Extended format: 24-bit canvas sides, stored minus one.
    Bytes extended = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8',
                      'X', 10,  0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0};
    putLittleEndian(extended, 24, 16383, 3);
    putLittleEndian(extended, 27, 0xFFFFFF, 3);
    EXPECT_EQ(imageSizeFromHeader(extended), cv::Size(16384, 0x1000000));
    extended.pop_back();
    EXPECT_EQ(imageSizeFromHeader(extended), std::nullopt);
}

}  // namespace
