#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace koa::test {

using Bytes = std::vector<uint8_t>;

// The strings of the image that the damages below are made to.
const std::map<uint32_t, std::string>& UndamagedStrings();
// A resource-only x86-64 image holding UndamagedStrings().
Bytes UndamagedImage();

// The file offset at which the resource data of UndamagedImage() ends.
size_t ResourceDataEnd(const Bytes& image);

// What is left of a damaged image: every string, nothing of its strings, those of the block of
// ids 96-111 (100 and 101) whole, or no image at all.
enum class Left { All, NoString, SecondBlock, NoImage };

struct Damage {
    const char* name;
    std::function<void(Bytes&)> apply;
    Left left;
    bool loaderAgrees; // LoadStringA gives the same, without reading out of bounds
};

// Damages to the headers or the resource data of UndamagedImage().
const std::vector<Damage>& ResourceDamages();

} // namespace koa::test
