#include "platform/version_info.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

// Read through a volatile pointer, so the compiler cannot fold the signature
// into a constant of the reader's own program, where it would be found.
std::array<unsigned char, 16> Signature() {
  const volatile unsigned char* inverted = version_detail::kInvertedSignature.data();
  std::array<unsigned char, 16> s{};
  for (std::size_t i = 0; i < s.size(); ++i) s[i] = static_cast<unsigned char>(~inverted[i]);
  return s;
}

std::uint32_t LittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::string GetVersionInfos(const std::filesystem::path& filename) {
  std::ifstream in(filename, std::ios::binary);
  if (!in) return "?";
  const std::array<unsigned char, 16> signature = Signature();
  // Read in blocks, keeping the tail of each so a record across two blocks is found.
  constexpr std::size_t kBlock = 1 << 20;
  constexpr std::size_t kRecord = 16 + 8;
  std::vector<unsigned char> buffer;
  std::vector<unsigned char> block(kBlock);
  while (in) {
    in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    buffer.insert(buffer.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got));
    auto it = std::search(buffer.begin(), buffer.end(), signature.begin(), signature.end());
    while (it != buffer.end() && buffer.end() - it < static_cast<std::ptrdiff_t>(kRecord)) {
      it = buffer.end();  // a record cut by the block end: wait for more bytes
    }
    if (it != buffer.end()) {
      const unsigned char* words = &*it + 16;
      const std::uint32_t ms = LittleEndian32(words);
      const std::uint32_t ls = LittleEndian32(words + 4);
      char text[64];
      std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>(ms >> 16), static_cast<int>(ms & 0xFFFF),
                    static_cast<int>(ls >> 16), static_cast<int>(ls & 0xFFFF));
      return text;
    }
    const std::size_t keep = std::min(buffer.size(), kRecord - 1);
    buffer.erase(buffer.begin(), buffer.end() - static_cast<std::ptrdiff_t>(keep));
  }
  return "?";
}
