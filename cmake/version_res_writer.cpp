// Writes a compiled resource file (.res) holding one version resource, from a description that
// koa_dev_add_version_info writes:
//   FILE_VERSION a b c d / PRODUCT_VERSION a b c d / FLAGS n / FILE_TYPE n / LANGUAGE n /
//   CODEPAGE n, and one "STRING Name=Value" line per string value (UTF-8).
// Usage: version_res_writer <description> <output.res>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

struct Description {
    uint32_t fileVersion[4] = {};
    uint32_t productVersion[4] = {};
    uint32_t flags = 0;
    uint32_t fileType = 0;
    uint32_t language = 0x0409;
    uint32_t codepage = 1200;
    std::vector<std::pair<std::string, std::string>> strings;
};

// A node of the version block: key, value (text in UTF-16 units, or bytes), children.
struct Node {
    std::u16string key;
    Bytes value;
    uint16_t valueLength = 0;
    bool text = false;
    std::vector<Node> children;
};

void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Pad(Bytes& out) {
    while (out.size() % 4 != 0)
        out.push_back(0);
}

void Patch16(Bytes& out, size_t at, size_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        auto c = static_cast<uint8_t>(utf8[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            code = code << 6 | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        i += 1 + extra;
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
    }
    return out;
}

void PutText(Bytes& out, const std::u16string& text) {
    for (char16_t unit : text)
        Put16(out, unit);
    Put16(out, 0);
}

// Lengths cover the node up to the end of its last child, without the padding after it.
void WriteNode(Bytes& out, const Node& node) {
    size_t start = out.size();
    Put16(out, 0);
    Put16(out, node.valueLength);
    Put16(out, node.text ? 1 : 0);
    PutText(out, node.key);
    Pad(out);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const Node& child : node.children) {
        Pad(out);
        WriteNode(out, child);
    }
    Patch16(out, start, out.size() - start);
}

Node Block(const std::string& key, std::vector<Node> children) {
    Node node;
    node.key = Utf16(key);
    node.text = true;
    node.children = std::move(children);
    return node;
}

Node StringValue(const std::string& name, const std::string& value) {
    Node node;
    node.key = Utf16(name);
    node.text = true;
    std::u16string text = Utf16(value);
    PutText(node.value, text);
    node.valueLength = static_cast<uint16_t>(text.size() + 1);
    return node;
}

std::string Hex4(uint32_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", v & 0xFFFF);
    return text;
}

Bytes VersionBlock(const Description& d) {
    Node root;
    root.key = Utf16("VS_VERSION_INFO");
    auto versionWords = [](const uint32_t* v) {
        return std::vector<uint32_t>{v[0] << 16 | v[1], v[2] << 16 | v[3]};
    };
    std::vector<uint32_t> fixed = {0xFEEF04BD, 0x00010000};
    for (const uint32_t* v : {d.fileVersion, d.productVersion})
        for (uint32_t word : versionWords(v))
            fixed.push_back(word);
    for (uint32_t word : {0x3Fu, d.flags, 0x40004u, d.fileType, 0u, 0u, 0u})
        fixed.push_back(word);
    for (uint32_t word : fixed)
        Put32(root.value, word);
    root.valueLength = static_cast<uint16_t>(root.value.size());

    std::vector<Node> strings;
    for (const auto& [name, value] : d.strings)
        strings.push_back(StringValue(name, value));
    root.children.push_back(
        Block("StringFileInfo", {Block(Hex4(d.language) + Hex4(d.codepage), strings)}));
    Node translation;
    translation.key = Utf16("Translation");
    Put16(translation.value, d.language);
    Put16(translation.value, d.codepage);
    translation.valueLength = 4;
    root.children.push_back(Block("VarFileInfo", {translation}));

    Bytes out;
    WriteNode(out, root);
    return out;
}

void PutEntryHeader(Bytes& out, uint32_t dataSize, uint16_t type, uint16_t name,
                    uint16_t language) {
    for (uint32_t v :
         {dataSize, 32u, 0xFFFFu | uint32_t{type} << 16, 0xFFFFu | uint32_t{name} << 16, 0u})
        Put32(out, v);
    Put16(out, 0);
    Put16(out, language);
    Put32(out, 0);
    Put32(out, 0);
}

Bytes ResFile(const Description& d) {
    Bytes block = VersionBlock(d);
    Bytes out;
    PutEntryHeader(out, 0, 0, 0, 0);
    PutEntryHeader(out, static_cast<uint32_t>(block.size()), 16, 1,
                   static_cast<uint16_t>(d.language));
    out.insert(out.end(), block.begin(), block.end());
    Pad(out);
    return out;
}

bool Parse(std::istream& in, Description& d) {
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string field;
        words >> field;
        if (field == "FILE_VERSION" || field == "PRODUCT_VERSION") {
            uint32_t* v = field == "FILE_VERSION" ? d.fileVersion : d.productVersion;
            words >> v[0] >> v[1] >> v[2] >> v[3];
        } else if (field == "FLAGS") {
            words >> d.flags;
        } else if (field == "FILE_TYPE") {
            words >> d.fileType;
        } else if (field == "LANGUAGE") {
            words >> d.language;
        } else if (field == "CODEPAGE") {
            words >> d.codepage;
        } else if (field == "STRING") {
            std::string entry = line.substr(line.find(' ') + 1);
            size_t equals = entry.find('=');
            if (equals == std::string::npos)
                return false;
            d.strings.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
            continue;
        } else if (!field.empty()) {
            return false;
        }
        if (words.fail())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: version_res_writer <description> <output.res>\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    Description d;
    if (!in || !Parse(in, d)) {
        std::cerr << "version_res_writer: cannot read " << argv[1] << "\n";
        return 1;
    }
    Bytes res = ResFile(d);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(res.data()), static_cast<std::streamsize>(res.size()));
    if (!out) {
        std::cerr << "version_res_writer: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
