// Writes small PNG files for the tests (stored deflate blocks, no compression library needed).
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
// 8 bits a sample of `colourType` (0 grey, 2 RGB, 4 grey and alpha, 6 RGBA), row by row.
std::string EncodePng(int width, int height, int colourType, const std::vector<std::uint8_t>& samples);
void WritePngFile(const std::wstring& path, int width, int height, const std::vector<Rgba>& pixels);

}  // namespace vt::test
