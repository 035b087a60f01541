#include "rsc/byte_writer.h"
#include "rsc/string_resource_writer.h"

namespace koa::rsc {

namespace {

constexpr uint32_t kPeOffset = 0x40;
constexpr uint32_t kOptionalHeader = kPeOffset + 4 + 20;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionRva = kSectionAlignment;
constexpr uint32_t kDirectoryCount = 16;
constexpr uint32_t kResourceDirectory = 2;

struct Layout {
    uint16_t machine;
    uint16_t characteristics;
    uint16_t magic;
    uint16_t optionalSize;
    uint64_t imageBase;
    uint16_t subsystemMajor;
    uint16_t subsystemMinor;
};

// Executable image, DLL; 32-bit words for i386, addresses above 2 GB allowed for x86-64.
constexpr Layout kI386{0x14C, 0x2102, 0x10B, 224, 0x10000000, 5, 1};
constexpr Layout kX8664{0x8664, 0x2022, 0x20B, 240, 0x180000000, 5, 2};

void PutHeaders(ByteWriter& out, const Layout& layout, uint32_t rsrcSize, uint32_t headersSize) {
    const bool is64 = layout.magic == 0x20B;
    const uint32_t rawSize = AlignUp(rsrcSize, kFileAlignment);
    const uint32_t o = kOptionalHeader;
    out.PutText(0, "MZ");
    out.Put32(0x3C, kPeOffset);
    out.PutText(kPeOffset, std::string_view("PE\0\0", 4));
    out.Put16(kPeOffset + 4, layout.machine);
    out.Put16(kPeOffset + 6, 1); // sections
    out.Put16(kPeOffset + 20, layout.optionalSize);
    out.Put16(kPeOffset + 22, layout.characteristics);
    out.Put16(o, layout.magic);
    out.Put32(o + 8, rawSize);      // initialised data
    out.Put32(o + 20, kSectionRva); // base of code
    if (is64) {
        out.Put64(o + 24, layout.imageBase);
    } else {
        out.Put32(o + 24, kSectionRva); // base of data
        out.Put32(o + 28, static_cast<uint32_t>(layout.imageBase));
    }
    out.Put32(o + 32, kSectionAlignment);
    out.Put32(o + 36, kFileAlignment);
    out.Put16(o + 40, 4); // operating system version
    out.Put16(o + 48, layout.subsystemMajor);
    out.Put16(o + 50, layout.subsystemMinor);
    out.Put32(o + 56, kSectionRva + AlignUp(rsrcSize, kSectionAlignment)); // image size
    out.Put32(o + 60, headersSize);
    out.Put16(o + 68, 2);     // Windows GUI subsystem
    out.Put16(o + 70, 0x100); // compatible with data execution prevention
    const uint32_t sizes = o + 72;
    const uint32_t width = is64 ? 8 : 4;
    for (uint32_t i = 0; i < 4; ++i) { // stack reserve and commit, heap reserve and commit
        const uint64_t value = i % 2 == 0 ? 0x100000 : 0x1000;
        is64 ? out.Put64(sizes + i * width, value)
             : out.Put32(sizes + i * width, static_cast<uint32_t>(value));
    }
    const uint32_t count = sizes + 4 * width + 4;
    out.Put32(count, kDirectoryCount);
    out.Put32(count + 4 + kResourceDirectory * 8, kSectionRva);
    out.Put32(count + 8 + kResourceDirectory * 8, rsrcSize);

    const uint32_t section = o + layout.optionalSize;
    out.PutText(section, ".rsrc");
    out.Put32(section + 8, rsrcSize);
    out.Put32(section + 12, kSectionRva);
    out.Put32(section + 16, rawSize);
    out.Put32(section + 20, headersSize);
    out.Put32(section + 36, 0x40000040); // initialised data, readable
}

} // namespace

std::vector<uint8_t> WriteStringResourceImage(const StringSettings& strings, Machine machine,
                                              uint16_t language) {
    const Layout& layout = machine == Machine::I386 ? kI386 : kX8664;
    const std::vector<uint8_t> rsrc = BuildStringResourceSection(strings, language, kSectionRva);
    const uint32_t rsrcSize = static_cast<uint32_t>(rsrc.size());
    const uint32_t headersSize =
        AlignUp(kOptionalHeader + layout.optionalSize + 40, kFileAlignment);

    ByteWriter out;
    PutHeaders(out, layout, rsrcSize, headersSize);
    out.Resize(headersSize + AlignUp(rsrcSize, kFileAlignment));
    std::vector<uint8_t> image = out.Take();
    std::copy(rsrc.begin(), rsrc.end(), image.begin() + headersSize);
    return image;
}

} // namespace koa::rsc
