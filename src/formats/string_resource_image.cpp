#include "formats/string_resource_image.h"

#include "formats/string_table.h"
#include "formats/text_encoding.h"

#include <cstring>

namespace koa::formats {

std::unique_ptr<StringResourceImage> StringResourceImage::FromBytes(std::vector<uint8_t> bytes) {
    std::unique_ptr<StringResourceImage> file(new StringResourceImage(std::move(bytes)));
    auto image = PeImage::Parse(file->source_);
    if (!image)
        return nullptr;
    file->resources_ = ResourceDirectory::Of(*image);
    return file;
}

int StringResourceImage::LoadString(uint32_t id, char* buffer, int size) const {
    if (buffer == nullptr || size <= 0)
        return 0;
    std::string text;
    if (resources_)
        text = Utf16ToUtf8(FindString(*resources_, id), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return static_cast<int>(text.size());
}

} // namespace koa::formats
