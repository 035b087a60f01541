#include "platform/string_resources.h"

#include "formats/string_resource_image.h"
#include "platform/posix/host_path.h"
#include "platform/posix/regular_file.h"

namespace koa::platform {

namespace {

class ImageFile : public StringResourceFile {
  public:
    explicit ImageFile(std::unique_ptr<formats::StringResourceImage> image)
        : image_(std::move(image)) {}

    int LoadString(unsigned int id, char* buffer, int size) override {
        return image_->LoadString(id, buffer, size);
    }

  private:
    std::unique_ptr<formats::StringResourceImage> image_;
};

} // namespace

std::unique_ptr<StringResourceFile> OpenStringResourceFile(const char* path) {
    const auto host = HostPath(path);
    auto bytes = host ? ReadRegularFile(*host, kMaxDataFileSize) : std::nullopt;
    if (!bytes)
        return nullptr;
    auto image = formats::StringResourceImage::FromBytes(std::move(*bytes));
    if (!image)
        return nullptr;
    return std::make_unique<ImageFile>(std::move(image));
}

} // namespace koa::platform
