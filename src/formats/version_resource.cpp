#include "formats/version_resource.h"

#include "formats/elf_file.h"
#include "formats/pe_image.h"
#include "formats/res_file.h"
#include "formats/resource_directory.h"

namespace koa::formats {

namespace {

constexpr uint16_t kVersionType = 16;
constexpr uint16_t kVersionName = 1;
// The first read of a file: enough to tell the three kinds apart and to hold the headers the
// readers look at first, and the whole of a small library, of which nothing more is then read.
constexpr uint64_t kFirstPieceSize = 32 << 10;

std::optional<ByteView> FindPeVersionResource(ByteSource& file) {
    auto image = PeImage::Parse(file);
    auto resources = image ? ResourceDirectory::Of(*image) : std::nullopt;
    if (!resources)
        return std::nullopt;
    std::optional<ResourceLanguage> chosen;
    for (ResourceLanguage language : resources->Languages(kVersionType, kVersionName)) {
        if (!chosen || VersionLanguageRank(language.id) > VersionLanguageRank(chosen->id))
            chosen = language;
    }
    auto data = chosen ? resources->Find(kVersionType, kVersionName, chosen->id) : std::nullopt;
    return data;
}

} // namespace

std::optional<ByteView> FindVersionResource(ByteSource& file) {
    const ByteView start = file.Piece(0, kFirstPieceSize).Bytes();
    if (IsResFile(start))
        return FindResVersionResource(file.Piece(0, file.Size()).Bytes());
    if (IsElfFile(start)) {
        auto section = FindElfSection(file, kElfResourceSection);
        return section ? FindResVersionResource(*section) : std::nullopt;
    }
    return FindPeVersionResource(file);
}

std::optional<ByteView> FindVersionResource(const ByteView& file) {
    MemorySource source(file);
    return FindVersionResource(source);
}

} // namespace koa::formats
