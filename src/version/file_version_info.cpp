#include "version/file_version_info.h"

#include "platform/version_resources.h"

#include <string>

namespace {

const char kStringBlock[] = "\\StringFileInfo\\040904B0\\";

FileVersionInfo::Version Parts(uint32_t ms, uint32_t ls) {
    return FileVersionInfo::Version(4, ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
}

} // namespace

FileVersionInfo::FileVersionInfo(const char* fileName) : fileVersion(4, 0), productVersion(4, 0) {
    versionData = koa::platform::ReadFileVersionBlock(fileName);
    versionDataSize = static_cast<uint32_t>(versionData.size());
    koa::platform::FixedFileInfo fixed{};
    if (versionDataSize == 0 ||
        !koa::platform::QueryFixedFileInfo(versionData.data(), versionDataSize, fixed))
        return;
    fileVersion = Parts(fixed.fileVersionMS, fixed.fileVersionLS);
    productVersion = Parts(fixed.productVersionMS, fixed.productVersionLS);
    fileFlags = fixed.fileFlags;
    valid = true;
}

FileVersionInfo::~FileVersionInfo() = default;

TString FileVersionInfo::StringValue(const char* name) const {
    std::string text;
    const std::string path = std::string(kStringBlock) + name;
    if (!valid ||
        !koa::platform::QueryVersionString(versionData.data(), versionDataSize, path.c_str(), text))
        return TString();
    TString value(text.c_str());
    value.Trim();
    return value;
}

TString FileVersionInfo::BuildFlagsText(bool parenthesised) const {
    TString text;
    const std::pair<uint32_t, const char*> kinds[] = {{kPreRelease, "Pre-Release"},
                                                      {kPrivateBuild, "Private-Build"},
                                                      {kSpecialBuild, "Special-Build"}};
    for (const auto& [bit, name] : kinds) {
        if (!(fileFlags & bit))
            continue;
        if (!text.IsEmpty())
            text += ", ";
        text += name;
    }
    if (parenthesised && !text.IsEmpty())
        text = "(" + text + ")";
    return text;
}

TString FileVersionInfo::Description() const {
    TString description;
    if (!valid)
        return description;
    const TString special = StringValue("SpecialBuild");
    const TString privateBuild = StringValue("PrivateBuild");
    description.Format("Library = '%s', Version = '%s'", StringValue("OriginalFilename").CStr(),
                       StringValue("FileVersion").CStr());
    if (fileFlags & kPreRelease)
        description += " (PRE-RELEASE)";
    if (!special.IsEmpty())
        description += ", Special Build = '" + special + "'";
    if (!privateBuild.IsEmpty())
        description += ", Private Build = '" + privateBuild + "'";
    description += "\n";
    return description;
}
