// Parses arbitrary bytes as a controller list file and checks the entries against a plain
// reading of the format: white space skipped, at most 100 characters up to CR or LF, the text
// up to the first NUL, trailing blanks removed.
#include "libraries/loaders.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ExpectedEntries(const uint8_t* data, size_t size) {
    std::vector<std::string> entries;
    size_t i = 0;
    for (;;) {
        while (i < size && std::isspace(data[i]))
            ++i;
        if (i == size)
            return entries;
        std::string entry;
        for (size_t n = 0; n < 100 && i < size && data[i] != '\r' && data[i] != '\n'; ++n, ++i)
            entry += static_cast<char>(data[i]);
        entry.resize(entry.find('\0') == std::string::npos ? entry.size() : entry.find('\0'));
        entry.erase(entry.find_last_not_of(" \t\r\n") + 1);
        entries.push_back(entry);
    }
}

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A stream over the input's own bytes (POSIX); an empty input still needs a buffer.
    static char none;
    std::FILE* file =
        fmemopen(size ? const_cast<uint8_t*>(data) : static_cast<void*>(&none), size, "rb");
    Require(file != nullptr);
    ErrorCluster err;
    const TStringArray list = ParseControllerList(&err, file);
    std::fclose(file);

    const std::vector<std::string> expected = ExpectedEntries(data, size);
    Require(!err.Status());
    Require(static_cast<size_t>(list.GetSize()) == expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        Require(expected[i] == list[static_cast<int>(i)].CStr());
    return 0;
}
