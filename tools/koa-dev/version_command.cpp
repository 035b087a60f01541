#include "version_command.h"

#include "call_report.h"
#include "version/file_version_info.h"

#include <cstdio>

namespace koa::tool {

namespace {

std::string Dotted(const FileVersionInfo::Version& version) {
    std::string text;
    for (int i = 0; i < version.GetSize(); ++i)
        text += (i ? "." : "") + std::to_string(version[i]);
    return text;
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

void PrintText(const FileVersionFacts& facts, std::ostream& out) {
    out << facts.file << ":\n"
        << "  file version     " << facts.fileVersion << "\n"
        << "  product version  " << facts.productVersion << "\n"
        << "  flags            " << Hex(facts.flags) << "\n"
        << "  build            " << facts.build << "\n"
        << "  " << facts.description << "\n";
}

int Show(const Arguments& args, Streams& streams) {
    const LoadOptions options = ParseLoadOptions(args, args.size(), kJsonOption);
    if (options.operands.empty())
        throw UsageError("no FILE given");
    int code = kSuccess;
    Json files = Json::array();
    for (const std::string& file : options.operands) {
        const FileVersionFacts facts = ReadFileVersionFacts(file);
        if (!facts.valid) {
            streams.err << "koa-dev version: " << file << ": no version information\n";
            code = kFailure;
        } else if (!options.json) {
            PrintText(facts, streams.out);
        }
        files.push_back(ToJson(facts));
    }
    if (options.json)
        PrintJson(Json{{"format", kJsonFormat}, {"files", files}}, streams.out);
    return code;
}

} // namespace

FileVersionFacts ReadFileVersionFacts(const std::string& file) {
    const FileVersionInfo info(file.c_str());
    FileVersionFacts facts;
    facts.file = file;
    facts.valid = info.valid;
    if (!info.valid)
        return facts;
    facts.fileVersion = Dotted(info.fileVersion);
    facts.productVersion = Dotted(info.productVersion);
    facts.flags = info.fileFlags;
    facts.build = info.BuildFlagsText(false).CStr();
    if (facts.build.empty())
        facts.build = "release";
    facts.description = info.Description().CStr();
    if (!facts.description.empty() && facts.description.back() == '\n')
        facts.description.pop_back();
    return facts;
}

Json ToJson(const FileVersionFacts& facts) {
    Json json{{"file", facts.file}, {"valid", facts.valid}};
    const auto known = [&](Json value) { return facts.valid ? value : Json(); };
    json["file_version"] = known(facts.fileVersion);
    json["product_version"] = known(facts.productVersion);
    json["flags"] = known(facts.flags);
    json["build"] = known(facts.build);
    json["description"] = known(facts.description);
    return json;
}

Command VersionCommand() {
    return Command{
        "version",
        "Show the version information of library files.",
        "[--json] FILE...",
        "Prints, for each FILE, its file and product versions, its file flags, its build kind\n"
        "(Pre-Release, Private-Build, Special-Build, or release) and the description line the\n"
        "library reports for it. With --json, one JSON document with the same facts (see\n"
        "docs/koa-dev.md). Exits with 1 when a FILE has no version information.\n",
        Show,
        {}};
}

} // namespace koa::tool
