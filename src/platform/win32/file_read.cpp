#include "platform/file_read.h"

namespace koa::platform {

std::FILE* OpenFileForReading(const char* path) {
    return std::fopen(path, "rb");
}

} // namespace koa::platform
