#include "config/damaged_images.h"
#include "formats/string_resource_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using koa::formats::StringResourceImage;
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

TEST(ResourceReader, DamagedFilesGiveNoImageOrAbsentStringsOnly) {
    for (const koa::test::Damage& damage : koa::test::ResourceDamages()) {
        SCOPED_TRACE(damage.name);
        Bytes bytes = koa::test::UndamagedImage();
        damage.apply(bytes);
        auto image = StringResourceImage::FromBytes(bytes);
        ASSERT_EQ(!image, damage.left == koa::test::Left::NoImage);
        for (const auto& [id, text] : koa::test::UndamagedStrings()) {
            const bool read = damage.left == koa::test::Left::SecondBlock && id >= 96 && id < 112;
            if (image) {
                EXPECT_EQ(Load(*image, id), read ? Expected(id) : "") << "id " << id;
            }
        }
    }
}

// Every prefix of a valid file gives no image or each string whole or absent.
TEST(ResourceReader, TruncatedFilesNeverYieldPartOfAString) {
    const Bytes bytes = koa::test::UndamagedImage();
    for (size_t size = 0; size < bytes.size(); ++size) {
        auto image = StringResourceImage::FromBytes(Bytes(bytes.begin(), bytes.begin() + size));
        for (const auto& [id, text] : koa::test::UndamagedStrings()) {
            const std::string read = image ? Load(*image, id) : "";
            EXPECT_TRUE(read.empty() || read == Expected(id)) << "size " << size << " id " << id;
        }
    }
}

} // namespace
