#pragma once

// PNG files built and read by hand (zlib and CRC only), independent of libpng.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace png_test {

inline void PutU32(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

inline std::uint32_t GetU32(const std::string& s, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
  return v;
}

inline std::string Chunk(const std::string& type, const std::string& data) {
  std::string out;
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  std::string body = type + data;
  out += body;
  PutU32(out, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
  return out;
}

// A non-interlaced PNG of raw scanlines (each already prefixed by filter 0).
inline std::string Build(int width, int height, int depth, int colorType, const std::string& scanlines,
                         const std::string& extraChunks = "") {
  std::string ihdr;
  PutU32(ihdr, static_cast<std::uint32_t>(width));
  PutU32(ihdr, static_cast<std::uint32_t>(height));
  ihdr += static_cast<char>(depth);
  ihdr += static_cast<char>(colorType);
  ihdr += std::string(3, '\0');
  uLongf size = compressBound(static_cast<uLong>(scanlines.size()));
  std::string compressed(size, '\0');
  compress(reinterpret_cast<Bytef*>(compressed.data()), &size, reinterpret_cast<const Bytef*>(scanlines.data()),
           static_cast<uLong>(scanlines.size()));
  compressed.resize(size);
  return std::string("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", ihdr) + extraChunks + Chunk("IDAT", compressed) +
         Chunk("IEND", "");
}

struct Decoded {
  int width = 0;
  int height = 0;
  int depth = 0;
  int colorType = -1;
  int interlace = -1;
  std::vector<std::uint8_t> rgb;  // red, green, blue per pixel, rows top to bottom
};

// Decodes an 8-bit truecolour, non-interlaced PNG with every filter type.
inline Decoded DecodeTruecolour(const std::string& file) {
  Decoded d;
  std::string idat;
  for (std::size_t at = 8; at + 8 <= file.size();) {
    std::uint32_t length = GetU32(file, at);
    std::string type = file.substr(at + 4, 4);
    std::string data = file.substr(at + 8, length);
    if (type == "IHDR") {
      d.width = static_cast<int>(GetU32(data, 0));
      d.height = static_cast<int>(GetU32(data, 4));
      d.depth = static_cast<unsigned char>(data[8]);
      d.colorType = static_cast<unsigned char>(data[9]);
      d.interlace = static_cast<unsigned char>(data[12]);
    }
    if (type == "IDAT") idat += data;
    at += 12 + length;
  }
  const std::size_t stride = static_cast<std::size_t>(d.width) * 3;
  std::string raw((stride + 1) * static_cast<std::size_t>(d.height), '\0');
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (d.depth != 8 || d.colorType != 2 || d.interlace != 0 ||
      uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                 static_cast<uLong>(idat.size())) != Z_OK || rawSize != raw.size()) {
    return {};
  }
  d.rgb.assign(stride * static_cast<std::size_t>(d.height), 0);
  for (std::size_t y = 0; y < static_cast<std::size_t>(d.height); ++y) {
    int filter = static_cast<unsigned char>(raw[y * (stride + 1)]);
    if (filter > 4) return {};
    for (std::size_t i = 0; i < stride; ++i) {
      int x = static_cast<unsigned char>(raw[y * (stride + 1) + 1 + i]);
      int a = i >= 3 ? d.rgb[y * stride + i - 3] : 0;
      int b = y > 0 ? d.rgb[(y - 1) * stride + i] : 0;
      int c = (i >= 3 && y > 0) ? d.rgb[(y - 1) * stride + i - 3] : 0;
      int p = a + b - c;
      int paeth = (std::abs(p - a) <= std::abs(p - b) && std::abs(p - a) <= std::abs(p - c)) ? a
                  : std::abs(p - b) <= std::abs(p - c)                                      ? b
                                                                                            : c;
      int predictor[] = {0, a, b, (a + b) / 2, paeth};
      d.rgb[y * stride + i] = static_cast<std::uint8_t>(x + predictor[filter]);
    }
  }
  return d;
}

}  // namespace png_test
