#pragma once

#include "platform/posix/regular_file.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace koa::platform {

// The version blocks of the last few library files read, each with the stamp its file had when
// it was read. Every connection of a controller checks the versions of its local and its
// released copy; a file whose stamp has not changed since is not read again. Only files whose
// times have settled are kept, so that a change within the timestamp granularity cannot hide.
std::optional<std::vector<uint8_t>> FindVersionBlock(const FileStamp& stamp);
void KeepVersionBlock(const FileStamp& stamp, const std::vector<uint8_t>& block);

} // namespace koa::platform
