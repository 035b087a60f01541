#pragma once

#include "config/byte_view.h"

#include <optional>

namespace koa::version {

// Name of the ELF section in which a Linux library carries its compiled resources.
inline constexpr char kElfResourceSection[] = ".koa_res";

// The version resource held in a file's bytes: a Windows (PE) image, a compiled resource file,
// or an ELF library carrying one in its resource section. Nothing when the file has none or is not
// understood.
std::optional<config::ByteView> FindVersionResource(const config::ByteView& file);

} // namespace koa::version
