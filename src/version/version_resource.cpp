#include "version/version_resource.h"

#include "config/pe_image.h"
#include "config/resource_directory.h"
#include "version/elf_file.h"
#include "version/res_file.h"

namespace koa::version {

using config::ByteView;

namespace {

constexpr uint16_t kVersionType = 16;
constexpr uint16_t kVersionName = 1;

std::optional<ByteView> FindPeVersionResource(const ByteView& file) {
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

std::optional<ByteView> FindVersionResource(const ByteView& file) {
    if (IsResFile(file))
        return FindResVersionResource(file);
    if (IsElfFile(file)) {
        auto section = FindElfSection(file, kElfResourceSection);
        return section ? FindResVersionResource(*section) : std::nullopt;
    }
    return FindPeVersionResource(file);
}

} // namespace koa::version
