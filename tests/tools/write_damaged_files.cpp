// Writes resource files for comparing this build's reader with another: an undamaged file,
// the damaged ones whose reading the Windows loader defines, truncated copies and files that are
// no library. Usage: koa_dev_damaged_files DIRECTORY
#include "config/damaged_images.h"

#include <fstream>
#include <iostream>

namespace {

bool Write(const std::string& path, const koa::test::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: koa_dev_damaged_files DIRECTORY\n";
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const koa::test::Bytes image = koa::test::UndamagedImage();
    bool written = Write(dir + "undamaged.rsc", image);
    for (const koa::test::Damage& damage : koa::test::ResourceDamages()) {
        koa::test::Bytes bytes = image;
        damage.apply(bytes);
        if (damage.loaderAgrees)
            written &= Write(dir + damage.name + ".rsc", bytes);
    }
    // The loader fills what a file lacks of a section with zeros, which is not read here, so
    // only cuts that leave every string whole or no library compare.
    const size_t dataEnd = koa::test::ResourceDataEnd(image);
    for (auto [name, size] :
         {std::pair<const char*, size_t>{"cut-in-headers", 0x150}, {"cut-after-strings", dataEnd}})
        written &=
            Write(dir + name + ".rsc", koa::test::Bytes(image.begin(), image.begin() + size));
    const std::string text = "RELEASED_DLL_PATH=C:\\Released\\\n";
    written &= Write(dir + "text.rsc", koa::test::Bytes(text.begin(), text.end()));
    written &= Write(dir + "empty.rsc", {});
    return written ? 0 : 1;
}
