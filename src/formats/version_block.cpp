#include "formats/version_block.h"

#include "formats/utf16.h"

namespace koa::formats {

namespace {

constexpr uint64_t kNodeHeaderSize = 6;
constexpr uint16_t kBinaryType = 0;
// A 16-bit block has its ANSI key where a 32-bit block has its type.
constexpr uint16_t kFirst16BitKeyChar = 0x20;
constexpr uint64_t kFixedInfoSize = 52;

// One node, its offsets relative to the block. Nodes start on 32-bit boundaries of the block, so
// aligning offsets within a node aligns them within the block.
struct Node {
    uint64_t offset = 0;
    uint64_t end = 0;
    uint64_t keyUnits = 0;
    uint64_t valueOffset = 0;
    uint64_t valueSize = 0;
    uint64_t childrenOffset = 0;
    bool text = false;
};

// The node at offset, which must end by parentEnd; nothing when it is malformed.
std::optional<Node> ReadNode(const ByteView& block, uint64_t offset, uint64_t parentEnd) {
    const auto lengthField = block.U16(offset);
    const auto valueLength = block.U16(offset + 2);
    const auto type = block.U16(offset + 4);
    if (!lengthField || !valueLength || !type)
        return std::nullopt;
    const uint64_t length = *lengthField;
    Node node;
    node.offset = offset;
    node.end = offset + length;
    if (length < kNodeHeaderSize + 2 || node.end > parentEnd)
        return std::nullopt;
    auto span = block.Sub(offset, length);
    auto keyUnits = span ? TerminatedUtf16Length(*span, kNodeHeaderSize) : std::nullopt;
    if (!keyUnits)
        return std::nullopt;
    node.keyUnits = *keyUnits;
    node.text = *type != kBinaryType;
    uint64_t valueStart = AlignToDword(kNodeHeaderSize + 2 * (*keyUnits + 1));
    uint64_t valueSize = node.text ? 2 * uint64_t{*valueLength} : *valueLength;
    if (valueStart + valueSize > length) {
        // Some writers store a text value's length in bytes: keep what lies inside the node.
        if (!node.text)
            return std::nullopt;
        valueSize = valueStart < length ? length - valueStart : 0;
    }
    node.valueOffset = offset + valueStart;
    node.valueSize = valueSize;
    node.childrenOffset = offset + AlignToDword(valueStart + valueSize);
    return node;
}

bool KeyEquals(const ByteView& block, const Node& node, std::string_view name) {
    std::string key = Utf16ToUtf8(block, node.offset + kNodeHeaderSize, node.keyUnits);
    if (key.size() != name.size())
        return false;
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (size_t i = 0; i < key.size(); ++i) {
        if (fold(key[i]) != fold(name[i]))
            return false;
    }
    return true;
}

std::optional<Node> FindChild(const ByteView& block, const Node& parent, std::string_view name) {
    for (uint64_t offset = parent.childrenOffset; offset + kNodeHeaderSize <= parent.end;) {
        auto child = ReadNode(block, offset, parent.end);
        if (!child)
            return std::nullopt;
        if (KeyEquals(block, *child, name))
            return child;
        offset = AlignToDword(child->end);
    }
    return std::nullopt;
}

std::optional<Node> FindNode(const ByteView& block, std::string_view path) {
    const auto type = block.U16(4);
    if (!type || (*type & 0xFF) >= kFirst16BitKeyChar)
        return std::nullopt;
    auto node = ReadNode(block, 0, block.Size());
    size_t pos = 0;
    while (node) {
        pos = path.find_first_not_of('\\', pos);
        if (pos == std::string_view::npos)
            break;
        size_t next = path.find('\\', pos);
        std::string_view key = path.substr(pos, next == std::string_view::npos ? next : next - pos);
        node = FindChild(block, *node, key);
        pos = next == std::string_view::npos ? path.size() : next;
    }
    return node;
}

} // namespace

std::optional<VersionValue> QueryVersionValue(const ByteView& block, std::string_view path) {
    auto node = FindNode(block, path);
    if (!node)
        return std::nullopt;
    auto bytes = block.Sub(node->valueOffset, node->valueSize);
    if (!bytes)
        return std::nullopt;
    return VersionValue{*bytes, node->text};
}

std::optional<FixedFileInfo> QueryFixedFileInfo(const ByteView& block) {
    auto value = QueryVersionValue(block, "\\");
    if (!value || value->text || value->bytes.Size() != kFixedInfoSize)
        return std::nullopt;
    uint32_t fields[kFixedInfoSize / 4] = {};
    for (size_t i = 0; i < kFixedInfoSize / 4; ++i)
        fields[i] = value->bytes.U32(4 * i).value_or(0);
    return FixedFileInfo{fields[0],  fields[1],  fields[2], fields[3], fields[4],
                         fields[5],  fields[6],  fields[7], fields[8], fields[9],
                         fields[10], fields[11], fields[12]};
}

std::optional<std::string> QueryVersionText(const ByteView& block, std::string_view path) {
    auto value = QueryVersionValue(block, path);
    if (!value)
        return std::nullopt;
    return Utf16ToUtf8(value->bytes, 0, value->bytes.Size() / 2);
}

} // namespace koa::formats
