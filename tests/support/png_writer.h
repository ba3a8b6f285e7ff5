// Writes small RGBA PNG files for the tests (stored deflate blocks, no compression library needed).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vt::test {

struct Rgba {
    std::uint8_t r, g, b, a;
};

// The CRC-32 of PNG chunks.
std::uint32_t Crc32(const std::string& data);
std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels);
void WritePngFile(const std::wstring& path, int width, int height, const std::vector<Rgba>& pixels);

}  // namespace vt::test
