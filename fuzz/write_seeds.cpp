// Writes the seed corpora of the fuzz targets: small, sound inputs made with the project's own
// writers. Usage: koa_dev_fuzz_seeds DIRECTORY (one subdirectory per target is filled).
#include "rsc/string_resource_writer.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void WriteStringTables(const fs::path& dir) {
    using koa::rsc::Machine;
    const koa::rsc::StringSettings config = {{1, u"C:\\Released\\"}, {2, u"C:\\Firmware\\"},
                                             {3, u"C:\\Profiles\\"}, {4, u"controllers.txt"},
                                             {5, u"revisions.txt"},  {100, u"C:\\Local\\"},
                                             {101, u"C:\\Menus\\"}};
    const koa::rsc::StringSettings mixed = {{0, u"first"},
                                            {15, u"\u00e9t\u00e9"},
                                            {16, u"\u65e5\u672c"},
                                            {17, u""},
                                            {65535, u"\U0001F600 last"}};
    fs::create_directories(dir);
    Write(dir / "config-i386.rsc", koa::rsc::WriteStringResourceImage(config, Machine::I386));
    Write(dir / "config-x86_64.rsc", koa::rsc::WriteStringResourceImage(config, Machine::X86_64));
    Write(dir / "mixed-en-us.rsc",
          koa::rsc::WriteStringResourceImage(mixed, Machine::I386, 0x0409));
    Write(dir / "empty.rsc", koa::rsc::WriteStringResourceImage({}, Machine::I386));
}

void WriteLibrarySpecs(const fs::path& dir) {
    const char* const specs[] = {"ctrl.dll | port 2",
                                 "C:\\dir\\ctrl.dll",
                                 "a|b|c",
                                 " dev.dll ",
                                 "\\\\server\\share\\x.dll|COM3, 9600",
                                 "D:relative/dir\\lib.dll\t|\r\n"};
    fs::create_directories(dir);
    int n = 0;
    for (const char* spec : specs)
        std::ofstream(dir / ("spec-" + std::to_string(++n) + ".txt"), std::ios::binary) << spec;
}

void WriteControllerLists(const fs::path& dir) {
    const std::string lists[] = {
        "ctrl_a.dll | port 1\r\nctrl_b.dll|COM2\r\n", "\n\n  \t first.dll  \n\nsecond.dll\r",
        std::string(230, 'x') + "|long\nshort.dll", std::string("nul\0inside.dll\nafter.dll", 24)};
    fs::create_directories(dir);
    int n = 0;
    for (const std::string& list : lists)
        std::ofstream(dir / ("list-" + std::to_string(++n) + ".txt"), std::ios::binary) << list;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: koa_dev_fuzz_seeds DIRECTORY\n";
        return 2;
    }
    const fs::path root = argv[1];
    WriteStringTables(root / "string_table");
    WriteLibrarySpecs(root / "library_spec");
    WriteControllerLists(root / "controller_list");
    return 0;
}
