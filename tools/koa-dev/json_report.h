#pragma once

#include "call_report.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace koa::tool {

// The tool's JSON documents keep their members in the order they are written.
using Json = nlohmann::ordered_json;

// The "format" member of every document: raised only when a member changes its meaning or goes
// away, never for a member added.
inline constexpr int kJsonFormat = 1;

Json ToJson(const TString& text);

// {"status": bool, "code": n, "source": text, "fatal": n}
Json ToJson(const ErrorCluster& err);

// [{"call": name, "returned": text}, ...]
Json ToJson(const CallResults& results);

// Writes the document indented, with a final line feed. Bytes that are not UTF-8 (ANSI text on
// Windows) are written as U+FFFD.
void PrintJson(const Json& document, std::ostream& out);

} // namespace koa::tool
