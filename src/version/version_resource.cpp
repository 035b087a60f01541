#include "version/version_resource.h"

#include "config/pe_image.h"
#include "config/resource_directory.h"
#include "version/elf_file.h"
#include "version/res_file.h"

namespace koa::version {

using config::ByteSource;
using config::ByteView;

namespace {

constexpr uint16_t kVersionType = 16;
constexpr uint16_t kVersionName = 1;
// The first read of a file: enough to tell the three kinds apart and to hold the headers the
// readers look at first, and the whole of a small library, of which nothing more is then read.
constexpr uint64_t kFirstPieceSize = 32 << 10;

std::optional<ByteView> FindPeVersionResource(ByteSource& file) {
    auto image = config::PeImage::Parse(file);
    auto resources = image ? config::ResourceDirectory::Of(*image) : std::nullopt;
    if (!resources)
        return std::nullopt;
    std::optional<config::ResourceLanguage> chosen;
    for (config::ResourceLanguage language : resources->Languages(kVersionType, kVersionName)) {
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
    config::MemorySource source(file);
    return FindVersionResource(source);
}

} // namespace koa::version
