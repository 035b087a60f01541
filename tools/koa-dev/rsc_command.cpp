#include "rsc_command.h"

#include "config_keys.h"
#include "platform/string_resources.h"
#include "rsc/string_resource_writer.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <optional>
#include <string>

namespace koa::tool {

namespace {

// What the library reads: a buffer of 260 characters.
constexpr int kValueBuffer = 260;

std::optional<uint16_t> KeyId(std::string_view name) {
    for (const ConfigKey& key : kConfigKeys) {
        if (key.name == name)
            return key.id;
    }
    return std::nullopt;
}

std::string_view KeyName(uint32_t id) {
    for (const ConfigKey& key : kConfigKeys) {
        if (key.id == id)
            return key.name;
    }
    return {};
}

rsc::Machine ParseMachine(const std::string& name) {
    if (name == "i386")
        return rsc::Machine::I386;
    if (name == "x86-64")
        return rsc::Machine::X86_64;
    throw UsageError("unknown machine '" + name + "' (i386 or x86-64)");
}

void AddSetting(const std::string& arg, rsc::StringSettings& strings) {
    const size_t equals = arg.find('=');
    if (equals == std::string::npos)
        throw UsageError("expected KEY=VALUE, got '" + arg + "'");
    const std::string key = arg.substr(0, equals);
    auto id = KeyId(key);
    if (!id)
        throw UsageError("unknown key '" + key + "'");
    if (strings.count(*id) != 0)
        throw UsageError("key '" + key + "' given twice");
    auto value = rsc::Utf8ToUtf16(std::string_view(arg).substr(equals + 1));
    if (!value)
        throw UsageError("the value of '" + key + "' is not UTF-8 text");
    if (value->size() > 0xFFFF)
        throw UsageError("the value of '" + key + "' is longer than 65535 characters");
    strings[*id] = *value;
}

int Write(const Arguments& args, Streams& streams) {
    std::optional<std::string> file;
    rsc::Machine machine = rsc::Machine::I386;
    rsc::StringSettings strings;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--machine") {
            if (++i == args.size())
                throw UsageError("--machine needs a value");
            machine = ParseMachine(args[i]);
        } else if (arg.rfind("--machine=", 0) == 0) {
            machine = ParseMachine(arg.substr(10));
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError("unknown option '" + arg + "'");
        } else if (!file) {
            file = arg;
        } else {
            AddSetting(arg, strings);
        }
    }
    if (!file)
        throw UsageError("no FILE given");
    const std::vector<uint8_t> image = rsc::WriteStringResourceImage(strings, machine);
    std::ofstream out(*file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) {
        streams.err << "koa-dev rsc write: cannot write '" << *file << "'\n";
        return kFailure;
    }
    return kSuccess;
}

uint32_t ParseId(const std::string& arg) {
    size_t used = 0;
    unsigned long id = 0;
    try {
        id = std::stoul(arg, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != arg.size() || arg.empty() || arg[0] == '-' || id > 0xFFFFFFFFul)
        throw UsageError("'" + arg + "' is not a string id");
    return static_cast<uint32_t>(id);
}

void ShowString(platform::StringResourceFile& file, uint32_t id, std::ostream& out) {
    char buffer[kValueBuffer];
    const int length = file.LoadString(id, buffer, kValueBuffer);
    out << std::left << std::setw(20) << KeyName(id) << ' ' << std::right << std::setw(10) << id
        << "  ";
    if (length > 0)
        out << '"' << std::string(buffer, static_cast<size_t>(length)) << "\"\n";
    else
        out << "(absent)\n";
}

int Show(const Arguments& args, Streams& streams) {
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) == 0)
            throw UsageError("unknown option '" + arg + "'");
    }
    if (args.empty())
        throw UsageError("no FILE given");
    std::vector<uint32_t> ids;
    for (size_t i = 1; i < args.size(); ++i)
        ids.push_back(ParseId(args[i]));
    if (ids.empty()) {
        for (const ConfigKey& key : kConfigKeys)
            ids.push_back(key.id);
    }
    auto file = platform::OpenStringResourceFile(args[0].c_str());
    if (!file) {
        streams.err << "koa-dev rsc show: '" << args[0] << "' cannot be loaded as a library\n";
        return kFailure;
    }
    for (uint32_t id : ids)
        ShowString(*file, id, streams.out);
    return kSuccess;
}

} // namespace

Command RscCommand() {
    Command write{
        "write",
        "Write a resource file holding the given configuration values.",
        "FILE [--machine i386|x86-64] KEY=VALUE...",
        "Writes FILE as a resource-only library for the given processor (i386 unless told),\n"
        "whose string table holds each VALUE, as UTF-8 text, under the string id of KEY.\n"
        "Keys (string ids): RELEASED_DLL_PATH (1), FIRMWARE_PATH (2), PROFILE_PATH (3),\n"
        "CONTROLLER_LIST_FILE (4), REVISION_CHECK_FILE (5), LOCAL_DLL_PATH (100),\n"
        "MENU_PATH (101). A key not given is absent from the file.\n",
        Write,
        {}};
    Command show{
        "show",
        "Show the configuration values of a resource file as the library reads them.",
        "FILE [ID...]",
        "Loads FILE as a library and prints, for each key (or each given string id), the\n"
        "string stored under its id as read into a buffer of 260 characters, or (absent).\n"
        "Exits with 1 when FILE cannot be loaded.\n",
        Show,
        {}};
    return Command{"rsc",     "Write and show resource files (koa_dev.rsc).",
                   "COMMAND", "",
                   nullptr,   {write, show}};
}

} // namespace koa::tool
