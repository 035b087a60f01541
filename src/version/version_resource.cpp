#include "version/version_resource.h"

#include "version/elf_file.h"
#include "version/res_file.h"

namespace koa::version {

std::optional<ByteSpan> FindVersionResource(const ByteSpan& file) {
    if (IsResFile(file))
        return FindResVersionResource(file);
    if (IsElfFile(file)) {
        auto section = FindElfSection(file, kElfResourceSection);
        return section ? FindResVersionResource(*section) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace koa::version
