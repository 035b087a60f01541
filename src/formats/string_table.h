#pragma once

#include "formats/resource_directory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace koa::formats {

constexpr uint16_t kStringTableType = 6;

// The language LoadString takes when several are stored for one block (see the definition).
std::optional<uint16_t> ChooseLanguage(const std::vector<ResourceLanguage>& stored);

// The string stored under id in the image's string tables, as LoadString finds it: only the
// low 16 bits of id count. Empty when the string is absent, empty, or its block is damaged.
std::u16string FindString(const ResourceDirectory& resources, uint32_t id);

} // namespace koa::formats
