#pragma once

#include <koa_dev/paths.h>

#include "rsc/string_resource_writer.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

inline std::string ResourceFilePath() {
    return std::string(LabVIEW_FilePath().CStr()) + "koa_dev.rsc";
}

// Writes koa_dev.rsc beside the test executable, for this process's processor.
inline void WriteResourceFile(const std::map<uint16_t, std::string>& strings) {
    koa::rsc::StringSettings settings;
    for (const auto& [id, text] : strings)
        settings[id] = koa::rsc::Utf8ToUtf16(text).value();
    const auto machine = sizeof(void*) == 8 ? koa::rsc::Machine::X86_64 : koa::rsc::Machine::I386;
    const auto image = koa::rsc::WriteStringResourceImage(settings, machine);
    std::ofstream(ResourceFilePath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
}

inline void RemoveResourceFile() {
    std::remove(ResourceFilePath().c_str());
}
