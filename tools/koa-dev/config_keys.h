#pragma once

#include <cstdint>
#include <string_view>

namespace koa::tool {

// The keys of the resource file and their string ids.
struct ConfigKey {
    std::string_view name;
    uint16_t id;
};

inline constexpr ConfigKey kConfigKeys[] = {
    {"RELEASED_DLL_PATH", 1},    {"FIRMWARE_PATH", 2},       {"PROFILE_PATH", 3},
    {"CONTROLLER_LIST_FILE", 4}, {"REVISION_CHECK_FILE", 5}, {"LOCAL_DLL_PATH", 100},
    {"MENU_PATH", 101},
};

} // namespace koa::tool
