// BMP headers written and read byte by byte, little-endian whatever the host.
#include "common/bmp_file.h"

namespace common {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kDotsPerMetre = 3780;  // 96 dots per inch

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

std::uint32_t get32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

}  // namespace

std::uint32_t bmpRowStride(std::uint32_t width) { return (width * 3 + 3) & ~3u; }

std::string bmpFileBytes(std::uint32_t width, std::uint32_t height, std::string_view rows) {
    if (width == 0 || height == 0 || width > 0x7FFFFFFF / 3) return {};
    const std::uint64_t imageSize = static_cast<std::uint64_t>(bmpRowStride(width)) * height;
    if (imageSize > 0x7FFFFFFF - kFileHeaderSize - kInfoHeaderSize || rows.size() != imageSize) return {};
    std::string file;
    file.reserve(kFileHeaderSize + kInfoHeaderSize + rows.size());
    put16(file, 0x4D42);  // "BM"
    put32(file, kFileHeaderSize + kInfoHeaderSize + static_cast<std::uint32_t>(imageSize));
    put32(file, 0);  // two reserved words
    put32(file, kFileHeaderSize + kInfoHeaderSize);
    put32(file, kInfoHeaderSize);
    put32(file, width);
    put32(file, height);  // positive: bottom-up
    put16(file, 1);       // planes
    put16(file, 24);      // bits per pixel
    put32(file, 0);       // BI_RGB
    put32(file, static_cast<std::uint32_t>(imageSize));
    put32(file, kDotsPerMetre);
    put32(file, kDotsPerMetre);
    put32(file, 0);  // colours used
    put32(file, 0);  // colours important
    file.append(rows);
    return file;
}

bool bmpPictureSize(std::string_view bytes, std::uint32_t& width, std::uint32_t& height) {
    if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    const std::uint32_t w = get32(bytes, 18);
    const std::int32_t h = static_cast<std::int32_t>(get32(bytes, 22));
    if (w == 0 || w > 0x7FFFFFFF || h == 0 || h == INT32_MIN) return false;
    width = w;
    height = static_cast<std::uint32_t>(h < 0 ? -h : h);
    return true;
}

}  // namespace common
