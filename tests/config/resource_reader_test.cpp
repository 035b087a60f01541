#include "config/string_resource_image.h"
#include "rsc/string_resource_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using koa::config::StringResourceImage;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kRsrc = 0x200; // file offset of the writer's resource section
constexpr uint32_t kTable = 0x80000000u;

const std::map<uint32_t, std::string> kStrings{
    {1, "one"}, {2, "two"}, {100, "hundred"}, {101, std::string(300, 'm')}};

Bytes ValidImage() {
    koa::rsc::StringSettings settings;
    for (const auto& [id, text] : kStrings)
        settings[static_cast<uint16_t>(id)] = *koa::rsc::Utf8ToUtf16(text);
    return koa::rsc::WriteStringResourceImage(settings, koa::rsc::Machine::X86_64);
}

uint32_t Get32(const Bytes& b, uint32_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}
void Put32(Bytes& b, uint32_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, uint32_t at, uint16_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

std::string Load(const StringResourceImage& image, uint32_t id, int size = 260) {
    std::string buffer(static_cast<size_t>(size), '#');
    const int length = image.LoadString(id, buffer.data(), size);
    EXPECT_TRUE(length >= 0 && length < size && buffer[static_cast<size_t>(length)] == '\0');
    return buffer.substr(0, static_cast<size_t>(std::max(length, 0)));
}

std::string Expected(uint32_t id) {
    return kStrings.at(id).substr(0, 259);
}

// Offsets in the resource tree of ValidImage(), found by following it.
struct Tree {
    explicit Tree(const Bytes& b)
        : names(Get32(b, kRsrc + 20) & ~kTable),
          blockOneLanguages(Get32(b, kRsrc + names + 20) & ~kTable),
          blockOneData(Get32(b, kRsrc + blockOneLanguages + 20)) {}
    uint32_t names, blockOneLanguages, blockOneData;
    uint32_t At(uint32_t offset) const { return kRsrc + offset; }
};

struct Corruption {
    const char* what;
    std::function<void(Bytes&, const Tree&)> apply;
    std::vector<uint32_t> stillRead; // ids still read correctly afterwards
};

TEST(ResourceReader, DamagedTreesGiveAbsentStringsOnly) {
    const std::vector<Corruption> corruptions{
        {"type entry leads back to the root",
         [](Bytes& b, const Tree&) { Put32(b, kRsrc + 20, kTable); },
         {}},
        {"block entry leads to the root",
         [](Bytes& b, const Tree& t) { Put32(b, t.At(t.names + 20), kTable); },
         {100, 101}},
        {"language entry leads to a table",
         [](Bytes& b, const Tree& t) {
             Put32(b, t.At(t.blockOneLanguages + 20), t.names | kTable);
         },
         {100, 101}},
        {"data outside the image",
         [](Bytes& b, const Tree& t) { Put32(b, t.At(t.blockOneData), 0xFFFFFF00u); },
         {100, 101}},
        {"data size past the section",
         [](Bytes& b, const Tree& t) { Put32(b, t.At(t.blockOneData + 4), 0xFFFFFFF0u); },
         {100, 101}},
        {"entry counts far beyond the tree",
         [](Bytes& b, const Tree& t) {
             Put32(b, kRsrc + 12, 0xFFFFFFFFu);
             Put16(b, t.At(t.names + 14), 0xFFFF);
         },
         {1, 2, 100, 101}},
        {"string length past the block",
         [](Bytes& b, const Tree& t) {
             Put16(b, Get32(b, t.At(t.blockOneData)) - 0x1000 + kRsrc, 0xFFFF);
         },
         {100, 101}},
        {"section data past the end of the file",
         [](Bytes& b, const Tree&) { Put32(b, 0x58 + 240 + 20, 0x7FFFFF00u); },
         {}},
        {"resource directory outside every section",
         [](Bytes& b, const Tree&) { Put32(b, 0x58 + 112 + 16, 0x9000); },
         {}},
        {"no data directories", [](Bytes& b, const Tree&) { Put32(b, 0x58 + 108, 0); }, {}},
    };
    for (const Corruption& corruption : corruptions) {
        SCOPED_TRACE(corruption.what);
        Bytes bytes = ValidImage();
        corruption.apply(bytes, Tree(bytes));
        auto image = StringResourceImage::FromBytes(bytes);
        ASSERT_TRUE(image);
        for (const auto& [id, text] : kStrings) {
            const bool kept = std::find(corruption.stillRead.begin(), corruption.stillRead.end(),
                                        id) != corruption.stillRead.end();
            EXPECT_EQ(Load(*image, id), kept ? Expected(id) : "") << "id " << id;
        }
    }
}

TEST(ResourceReader, DamagedHeadersAreNoImage) {
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> corruptions{
        {"no MZ", [](Bytes& b) { b[0] = 'X'; }},
        {"header offset past the end", [](Bytes& b) { Put32(b, 0x3C, 0xFFFFFFF0u); }},
        {"no PE signature", [](Bytes& b) { b[0x41] = 'X'; }},
        {"unknown optional header", [](Bytes& b) { Put16(b, 0x58, 0x107); }},
        {"optional header too small", [](Bytes& b) { Put16(b, 0x54, 8); }},
        {"section table past the end", [](Bytes& b) { Put16(b, 0x46, 0xFFFF); }},
    };
    for (const auto& [what, apply] : corruptions) {
        Bytes bytes = ValidImage();
        apply(bytes);
        EXPECT_FALSE(StringResourceImage::FromBytes(bytes)) << what;
    }
}

// Every prefix of a valid file: either no image, or each string whole or absent.
TEST(ResourceReader, TruncatedFilesNeverYieldPartOfAString) {
    const Bytes bytes = ValidImage();
    for (size_t size = 0; size < bytes.size(); ++size) {
        auto image = StringResourceImage::FromBytes(Bytes(bytes.begin(), bytes.begin() + size));
        if (!image)
            continue;
        for (const auto& [id, text] : kStrings) {
            const std::string read = Load(*image, id);
            EXPECT_TRUE(read.empty() || read == Expected(id)) << "size " << size << " id " << id;
        }
    }
}

// Each byte changed in turn: whatever is read stays inside the buffer.
TEST(ResourceReader, ChangedBytesNeverOverrunTheBuffer) {
    const Bytes bytes = ValidImage();
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (uint8_t change : {0x01, 0x80, 0xFF}) {
            Bytes changed = bytes;
            changed[at] ^= change;
            auto image = StringResourceImage::FromBytes(changed);
            if (!image)
                continue;
            for (uint32_t id : {0u, 1u, 2u, 100u, 101u, 4096u})
                EXPECT_LE(Load(*image, id, at % 7 == 0 ? 4 : 260).size(), 259u);
        }
    }
}

} // namespace
