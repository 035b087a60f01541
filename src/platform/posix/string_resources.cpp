#include "platform/string_resources.h"

#include "config/string_resource_image.h"
#include "platform/posix/host_path.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace koa::platform {

namespace {

// Far more than any resource file; a larger file is not read into memory.
constexpr std::streamoff kMaxFileSize = 64 << 20;

class ImageFile : public StringResourceFile {
  public:
    explicit ImageFile(std::unique_ptr<config::StringResourceImage> image)
        : image_(std::move(image)) {}

    int LoadString(unsigned int id, char* buffer, int size) override {
        return image_->LoadString(id, buffer, size);
    }

  private:
    std::unique_ptr<config::StringResourceImage> image_;
};

} // namespace

std::unique_ptr<StringResourceFile> OpenStringResourceFile(const char* path) {
    const auto host = HostPath(path);
    if (!host)
        return nullptr;
    std::ifstream in(*host, std::ios::binary | std::ios::ate);
    const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : -1;
    if (size < 0 || size > kMaxFileSize)
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size))
        return nullptr;
    auto image = config::StringResourceImage::FromBytes(std::move(bytes));
    if (!image)
        return nullptr;
    return std::make_unique<ImageFile>(std::move(image));
}

} // namespace koa::platform
