#pragma once

#include "formats/byte_view.h"
#include "formats/fixed_file_info.h"

#include <optional>
#include <string>
#include <string_view>

// Queries on a version block (VS_VERSIONINFO): a tree of nodes, each a length, a value length, a
// type (0 binary, 1 text), a zero-terminated UTF-16 key, its value and its children, with the
// value and each child starting on a 32-bit boundary.

namespace koa::formats {

// The value of one node: its bytes, and whether it is text (UTF-16) or binary.
struct VersionValue {
    ByteView bytes;
    bool text = false;
};

// The value of the node named by path: its keys separated by backslashes, matched without
// regard to ASCII case; "\" names the root. Nothing when a key is missing or the block is
// malformed on the way.
std::optional<VersionValue> QueryVersionValue(const ByteView& block, std::string_view path);

// The root's value, when it is a well-formed fixed part (52 bytes, signature 0xFEEF04BD).
std::optional<FixedFileInfo> QueryFixedFileInfo(const ByteView& block);

// The text value of the node named by path, in UTF-8, ending at its first zero unit.
std::optional<std::string> QueryVersionText(const ByteView& block, std::string_view path);

} // namespace koa::formats
