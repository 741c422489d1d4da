// The compiled resource script of velmora.exe: one icon group of six images (the 256 image an
// 8-bit RGBA PNG) and one manifest that asks for asInvoker without user-interface access and
// for the segment heap, and declares no DPI awareness.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/support/res_file.h"
#include "tests/support/xml_elements.h"

namespace {

constexpr int kIcon = 3;
constexpr int kGroupIcon = 14;
constexpr int kManifest = 24;
constexpr char kAsmV3[] = "urn:schemas-microsoft-com:asm.v3";
constexpr char kWindowsSettings2020[] = "http://schemas.microsoft.com/SMI/2020/WindowsSettings";

class ResourceScript : public testing::Test {
  protected:
    void SetUp() override {
#ifdef VELMORA_RES_FILE
        auto parsed = res::parse(res::readFile(VELMORA_RES_FILE));
        ASSERT_TRUE(parsed.has_value()) << VELMORA_RES_FILE;
        resources = *parsed;
#else
        GTEST_SKIP() << "no resource compiler (x86_64-w64-mingw32-windres) was found";
#endif
    }

    std::vector<const res::Resource*> ofType(int type) const {
        std::vector<const res::Resource*> found;
        for (const res::Resource& resource : resources) {
            if (resource.typeId == type) {
                found.push_back(&resource);
            }
        }
        return found;
    }

    std::vector<res::Resource> resources;
};

struct IconEntry {
    int size;  // the directory stores 256 as 0
    int bitCount;
    std::uint32_t bytes;
    int iconId;
};

std::vector<IconEntry> groupEntries(const std::vector<std::uint8_t>& group) {
    std::vector<IconEntry> entries;
    const int count = res::word(group, 4);
    for (int i = 0; i < count; ++i) {
        const std::size_t at = 6 + 14 * static_cast<std::size_t>(i);
        const int width = group.at(at) == 0 ? 256 : group.at(at);
        const int height = group.at(at + 1) == 0 ? 256 : group.at(at + 1);
        EXPECT_EQ(width, height);
        entries.push_back({width, res::word(group, at + 6), res::dword(group, at + 8),
                           res::word(group, at + 12)});
    }
    return entries;
}

TEST_F(ResourceScript, HoldsExactlyOneIconGroupAndOneManifest) {
    std::multiset<int> types;
    for (const res::Resource& resource : resources) {
        types.insert(resource.typeId);
    }
    EXPECT_EQ(types, (std::multiset<int>{kIcon, kIcon, kIcon, kIcon, kIcon, kIcon, kGroupIcon,
                                         kManifest}));
    ASSERT_EQ(ofType(kManifest).size(), 1u);
    // The loader takes the manifest of a program from number 1.
    EXPECT_EQ(ofType(kManifest)[0]->nameId, 1);
}

TEST_F(ResourceScript, IconGroupListsSixSizesThatEachPointAtAnImage) {
    auto groups = ofType(kGroupIcon);
    ASSERT_EQ(groups.size(), 1u);
    const std::vector<std::uint8_t>& group = groups[0]->data;
    EXPECT_EQ(res::word(group, 0), 0);  // reserved
    EXPECT_EQ(res::word(group, 2), 1);  // icons, not cursors
    ASSERT_EQ(res::word(group, 4), 6);
    ASSERT_EQ(group.size(), 6u + 6 * 14);

    std::set<int> sizes;
    std::set<int> ids;
    for (const IconEntry& entry : groupEntries(group)) {
        sizes.insert(entry.size);
        ids.insert(entry.iconId);
        EXPECT_EQ(entry.bitCount, 32) << entry.size;
        auto images = ofType(kIcon);
        auto image = std::find_if(images.begin(), images.end(), [&](const res::Resource* icon) {
            return icon->nameId == entry.iconId;
        });
        ASSERT_NE(image, images.end()) << "no image " << entry.iconId;
        EXPECT_EQ((*image)->data.size(), entry.bytes) << entry.size;
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 64, 256}));
    EXPECT_EQ(ids.size(), 6u);
}

TEST_F(ResourceScript, LargestImageIsAnRgbaPngAndTheOthersAre32BitBitmaps) {
    auto groups = ofType(kGroupIcon);
    ASSERT_EQ(groups.size(), 1u);
    for (const IconEntry& entry : groupEntries(groups[0]->data)) {
        auto images = ofType(kIcon);
        auto image = std::find_if(images.begin(), images.end(), [&](const res::Resource* icon) {
            return icon->nameId == entry.iconId;
        });
        ASSERT_NE(image, images.end());
        const std::vector<std::uint8_t>& data = (*image)->data;
        ASSERT_GE(data.size(), 40u);
        if (entry.size == 256) {
            const std::vector<std::uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
            EXPECT_TRUE(std::equal(signature.begin(), signature.end(), data.begin()));
            EXPECT_EQ(std::string(data.begin() + 12, data.begin() + 16), "IHDR");
            EXPECT_EQ(data[16] << 24 | data[17] << 16 | data[18] << 8 | data[19], 256);  // width
            EXPECT_EQ(data[20] << 24 | data[21] << 16 | data[22] << 8 | data[23], 256);  // height
            EXPECT_EQ(data[24], 8);  // bits per channel
            EXPECT_EQ(data[25], 6);  // colour type: RGB with alpha
        } else {
            // BITMAPINFOHEADER: the height counts the colour image and the mask.
            EXPECT_EQ(res::dword(data, 0), 40u) << entry.size;
            EXPECT_EQ(static_cast<int>(res::dword(data, 4)), entry.size);
            EXPECT_EQ(static_cast<int>(res::dword(data, 8)), 2 * entry.size);
            EXPECT_EQ(res::word(data, 14), 32) << entry.size;
        }
    }
}

TEST_F(ResourceScript, ManifestAsksForInvokerLevelAndSegmentHeapAndDeclaresNoDpiAwareness) {
    auto manifests = ofType(kManifest);
    ASSERT_EQ(manifests.size(), 1u);
    const std::string text(manifests[0]->data.begin(), manifests[0]->data.end());
    auto elements = xml::parseElements(text);
    ASSERT_TRUE(elements.has_value()) << text;
    ASSERT_FALSE(elements->empty());
    EXPECT_EQ(elements->front().ns, "urn:schemas-microsoft-com:asm.v1");
    EXPECT_EQ(elements->front().name, "assembly");
    EXPECT_EQ(elements->front().attributes["manifestVersion"], "1.0");

    int levels = 0;
    int heaps = 0;
    for (const xml::Element& element : *elements) {
        if (element.name == "requestedExecutionLevel") {
            ++levels;
            EXPECT_EQ(element.ns, kAsmV3);
            EXPECT_EQ(element.attributes, (std::map<std::string, std::string>{
                                              {"level", "asInvoker"}, {"uiAccess", "false"}}));
        }
        if (element.name == "heapType") {
            ++heaps;
            EXPECT_EQ(element.ns, kWindowsSettings2020);
            EXPECT_EQ(element.text, "SegmentHeap");
        }
        EXPECT_NE(element.name, "dpiAware");
        EXPECT_NE(element.name, "dpiAwareness");
    }
    EXPECT_EQ(levels, 1);
    EXPECT_EQ(heaps, 1);
}

// The manifest check above is only as good as the reader's namespace handling.
TEST(XmlElements, ResolvesDefaultAndPrefixedNamespacesAndRejectsBrokenDocuments) {
    auto elements = xml::parseElements(
        "<?xml version=\"1.0\"?><!-- c --><a xmlns=\"urn:a\" xmlns:w='urn:w'>"
        "<b><w:c x=\"1 > 0\">  text </w:c><d xmlns=\"urn:d\"/></b></a>");
    ASSERT_TRUE(elements.has_value());
    ASSERT_EQ(elements->size(), 4u);
    EXPECT_EQ((*elements)[1].ns, "urn:a");
    EXPECT_EQ((*elements)[2].ns, "urn:w");
    EXPECT_EQ((*elements)[2].name, "c");
    EXPECT_EQ((*elements)[2].text, "text");
    EXPECT_EQ((*elements)[2].attributes.at("x"), "1 > 0");
    EXPECT_EQ((*elements)[3].ns, "urn:d");

    EXPECT_FALSE(xml::parseElements("<a><b></a></b>").has_value());
    EXPECT_FALSE(xml::parseElements("<a>").has_value());
    EXPECT_FALSE(xml::parseElements("<p:a/>").has_value());
    EXPECT_FALSE(xml::parseElements("<a x=\"1/>").has_value());
}

TEST(ResFile, RejectsTruncatedFiles) {
    auto bytes = res::readFile(
#ifdef VELMORA_RES_FILE
        VELMORA_RES_FILE
#else
        ""
#endif
    );
    if (bytes.empty()) {
        GTEST_SKIP() << "no compiled resource script";
    }
    EXPECT_TRUE(res::parse(bytes).has_value());
    bytes.resize(bytes.size() - 8);
    EXPECT_FALSE(res::parse(bytes).has_value());
    EXPECT_FALSE(res::parse({1, 2, 3}).has_value());
}

}  // namespace
