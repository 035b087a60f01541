#include "config/damaged_images.h"
#include "config/string_resource_image.h"
#include "rsc/string_resource_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using koa::config::StringResourceImage;
using koa::test::Bytes;

std::string Load(const StringResourceImage& image, uint32_t id, int size = 260) {
    std::string buffer(static_cast<size_t>(size), '#');
    const int length = image.LoadString(id, buffer.data(), size);
    EXPECT_TRUE(length >= 0 && length < size && buffer[static_cast<size_t>(length)] == '\0');
    return buffer.substr(0, static_cast<size_t>(std::max(length, 0)));
}

std::string Expected(uint32_t id) {
    return koa::test::UndamagedStrings().at(id).substr(0, 259);
}

void Put16(Bytes& b, uint32_t at, uint16_t v) {
    b.at(at) = static_cast<uint8_t>(v);
    b.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

TEST(ResourceReader, DamagedTreesGiveAbsentStringsOnly) {
    for (const koa::test::Damage& damage : koa::test::ResourceDamages()) {
        SCOPED_TRACE(damage.name);
        Bytes bytes = koa::test::UndamagedImage();
        damage.apply(bytes);
        auto image = StringResourceImage::FromBytes(bytes);
        ASSERT_TRUE(image);
        for (const auto& [id, text] : koa::test::UndamagedStrings()) {
            const auto& kept = damage.stillRead;
            const bool read = std::find(kept.begin(), kept.end(), id) != kept.end();
            EXPECT_EQ(Load(*image, id), read ? Expected(id) : "") << "id " << id;
        }
    }
}

TEST(ResourceReader, DamagedHeadersAreNoImage) {
    const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> corruptions{
        {"no MZ", [](Bytes& b) { b[0] = 'X'; }},
        {"header offset past the end", [](Bytes& b) { Put16(b, 0x3E, 0xFFFF); }},
        {"no PE signature", [](Bytes& b) { b[0x41] = 'X'; }},
        {"unknown optional header", [](Bytes& b) { Put16(b, 0x58, 0x107); }},
        {"optional header too small", [](Bytes& b) { Put16(b, 0x54, 8); }},
        {"section table past the end", [](Bytes& b) { Put16(b, 0x46, 0xFFFF); }},
    };
    for (const auto& [what, apply] : corruptions) {
        Bytes bytes = koa::test::UndamagedImage();
        apply(bytes);
        EXPECT_FALSE(StringResourceImage::FromBytes(bytes)) << what;
    }
}

// Every prefix of a valid file: either no image, or each string whole or absent.
TEST(ResourceReader, TruncatedFilesNeverYieldPartOfAString) {
    const Bytes bytes = koa::test::UndamagedImage();
    for (size_t size = 0; size < bytes.size(); ++size) {
        auto image = StringResourceImage::FromBytes(Bytes(bytes.begin(), bytes.begin() + size));
        if (!image)
            continue;
        for (const auto& [id, text] : koa::test::UndamagedStrings()) {
            const std::string read = Load(*image, id);
            EXPECT_TRUE(read.empty() || read == Expected(id)) << "size " << size << " id " << id;
        }
    }
}

// Each byte changed in turn: whatever is read stays inside the buffer.
TEST(ResourceReader, ChangedBytesNeverOverrunTheBuffer) {
    const Bytes bytes = koa::test::UndamagedImage();
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
