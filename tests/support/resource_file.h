#pragma once

#include <koa_dev/paths.h>

#include "rsc/string_resource_writer.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <string>

// koa_dev.rsc in a directory, by default the test executable's.
inline std::string ResourceFilePath(const std::string& directory = LabVIEW_FilePath().CStr()) {
    return directory + "koa_dev.rsc";
}

// Writes koa_dev.rsc for this process's processor.
inline void WriteResourceFile(const std::map<uint16_t, std::string>& strings,
                              const std::string& directory = LabVIEW_FilePath().CStr()) {
    koa::rsc::StringSettings settings;
    for (const auto& [id, text] : strings)
        settings[id] = koa::rsc::Utf8ToUtf16(text).value();
    const auto machine = sizeof(void*) == 8 ? koa::rsc::Machine::X86_64 : koa::rsc::Machine::I386;
    const auto image = koa::rsc::WriteStringResourceImage(settings, machine);
    // Whatever a test left there (a FIFO would block the write) is replaced.
    std::remove(ResourceFilePath(directory).c_str());
    std::ofstream(ResourceFilePath(directory), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
}

inline void RemoveResourceFile(const std::string& directory = LabVIEW_FilePath().CStr()) {
    std::remove(ResourceFilePath(directory).c_str());
}
