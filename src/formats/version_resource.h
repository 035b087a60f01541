#pragma once

#include "formats/byte_source.h"
#include "formats/byte_view.h"

#include <optional>

namespace koa::formats {

// Name of the ELF section in which a Linux library carries its compiled resources.
inline constexpr char kElfResourceSection[] = ".koa_res";

// The version resource held in a file: a Windows (PE) image, a compiled resource file, or an ELF
// library carrying one in its resource section. Nothing when the file has none or is not
// understood. Of an image or a library only the headers and the section holding the resource
// are read.
std::optional<ByteView> FindVersionResource(ByteSource& file);
std::optional<ByteView> FindVersionResource(const ByteView& file);

} // namespace koa::formats
