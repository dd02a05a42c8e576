// Windows bitmap (BMP) files of 24-bit pictures: a file's bytes made from its pixel rows, and a file's
// picture size read back. Pure; any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// Bytes per row of a 24-bit picture width pixels wide: three per pixel, padded to a multiple of four.
std::uint32_t bmpRowStride(std::uint32_t width);

// A 24-bit BMP file (96 dots per inch). rows are the pixels as the file keeps them: the bottom row
// first, each pixel blue, green, red, each row padded to bmpRowStride. Empty when the size is not
// positive, the file would pass 2 GB, or rows is not width × height pixels long.
std::string bmpFileBytes(std::uint32_t width, std::uint32_t height, std::string_view rows);

// The picture size of a BMP file's bytes (its info header's width and height, the height's sign
// dropped); false when bytes do not begin as a BMP file does.
bool bmpPictureSize(std::string_view bytes, std::uint32_t& width, std::uint32_t& height);

}  // namespace common
