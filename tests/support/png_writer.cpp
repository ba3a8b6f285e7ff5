#include "support/png_writer.h"

#include "support/test_support.h"

namespace vt::test {

namespace {

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 3; i >= 0; --i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
    Put32(out, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Put32(out, Crc32(body));
}

}  // namespace

std::uint32_t Crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string EncodePng(int width, int height, const std::vector<Rgba>& pixels) {
    std::vector<std::uint8_t> samples;
    for (const Rgba& p : pixels) samples.insert(samples.end(), {p.r, p.g, p.b, p.a});
    return EncodePng(width, height, 6, samples);
}

std::string EncodePng(int width, int height, int colourType, const std::vector<std::uint8_t>& samples) {
    const size_t channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
    const size_t row = static_cast<size_t>(width) * channels;
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back('\0');   // filter: none
        raw.append(reinterpret_cast<const char*>(samples.data()) + static_cast<size_t>(y) * row, row);
    }
    std::string z = "\x78\x01";
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? '\x01' : '\x00');
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    Put32(ihdr, static_cast<std::uint32_t>(width));
    Put32(ihdr, static_cast<std::uint32_t>(height));
    // 8 bits, the colour type, deflate, no filter, no interlace
    ihdr += std::string{'\x08', static_cast<char>(colourType), '\0', '\0', '\0'};
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", "");
    return out;
}

void WritePngFile(const std::wstring& path, int width, int height, const std::vector<Rgba>& pixels) {
    WriteFileBytes(path, EncodePng(width, height, pixels));
}

}  // namespace vt::test
