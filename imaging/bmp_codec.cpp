#include "imaging/bmp_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

#include "platform/atomic_file.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;

std::uint32_t U32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
std::int32_t S32(std::string_view b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

void Put16(std::string& out, unsigned v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

struct Layout {
  long long width = 0;
  long long height = 0;  // positive
  bool topDown = false;
  int bits = 0;
  std::size_t paletteAt = 0;
  int paletteEntrySize = 4;
  int paletteCount = 0;
  std::size_t pixelsAt = 0;
};

// Reads and checks the headers; an empty string on success, the reason otherwise.
std::string ReadLayout(std::string_view b, Layout& l) {
  if (b.size() < kFileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M') return "not a bitmap file";
  const std::uint32_t infoSize = U32(b, 14);
  if (b.size() < kFileHeaderSize + infoSize) return "the header is cut short";
  std::uint32_t compression = 0;
  long long height = 0;
  std::uint32_t colorsUsed = 0;
  if (infoSize == 12) {
    l.width = U16(b, 18);
    height = static_cast<std::int16_t>(U16(b, 20));
    if (U16(b, 22) != 1) return "the plane count is not 1";
    l.bits = U16(b, 24);
    l.paletteEntrySize = 3;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124) {
    l.width = S32(b, 18);
    height = S32(b, 22);
    if (U16(b, 26) != 1) return "the plane count is not 1";
    l.bits = U16(b, 28);
    compression = U32(b, 30);
    colorsUsed = U32(b, 46);
  } else {
    return "unknown info header of " + std::to_string(infoSize) + " bytes";
  }
  if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 24 && l.bits != 32) {
    return std::to_string(l.bits) + " bits per pixel are not supported";
  }
  if (compression == 3 && l.bits == 32) {
    // Bit fields: only the standard layout (blue, green, red bytes) is
    // accepted. The masks follow the first 40 bytes of the info header,
    // inside it for the longer headers.
    const std::size_t masksAt = kFileHeaderSize + 40;
    if (b.size() < masksAt + 12) return "the colour masks are cut short";
    if (U32(b, masksAt) != 0x00FF0000u || U32(b, masksAt + 4) != 0x0000FF00u || U32(b, masksAt + 8) != 0x000000FFu) {
      return "colour masks other than 8 bits of red, green and blue are not supported";
    }
  } else if (compression != 0) {
    return "compressed bitmaps are not supported";
  }
  l.topDown = height < 0;
  l.height = height < 0 ? -height : height;
  if (l.width <= 0 || l.height <= 0) return "the picture is empty";
  if (l.width > kMaxBmpSide || l.height > kMaxBmpSide || l.width * l.height > kMaxBmpPixels) return "the picture is too large";
  l.paletteAt = kFileHeaderSize + infoSize + (compression == 3 && infoSize == 40 ? 12 : 0);
  l.pixelsAt = U32(b, 10);
  if (l.bits <= 8) {
    const int most = 1 << l.bits;
    l.paletteCount = colorsUsed == 0 || colorsUsed > static_cast<std::uint32_t>(most) ? most : static_cast<int>(colorsUsed);
    // Writers often store fewer entries than the depth allows (and the core
    // header cannot say so): the palette ends where the pixels begin.
    if (l.pixelsAt > l.paletteAt) {
      const auto room = static_cast<int>(std::min<std::size_t>((l.pixelsAt - l.paletteAt) / static_cast<std::size_t>(l.paletteEntrySize), 256));
      l.paletteCount = std::min(l.paletteCount, room);
    }
    if (b.size() < l.paletteAt + static_cast<std::size_t>(l.paletteCount * l.paletteEntrySize)) return "the palette is cut short";
  }
  const std::size_t rowBytes = static_cast<std::size_t>((l.width * l.bits + 31) / 32 * 4);
  // The last row need not carry its padding.
  const std::size_t lastRow = static_cast<std::size_t>((l.width * l.bits + 7) / 8);
  if (l.pixelsAt > b.size() || b.size() - l.pixelsAt < rowBytes * static_cast<std::size_t>(l.height - 1) + lastRow) {
    return "the pixel data is cut short";
  }
  return {};
}

}  // namespace

FileStatus DecodeBmp(std::string_view bytes, const std::string& name, Bitmap& bitmap) {
  Layout l;
  if (std::string reason = ReadLayout(bytes, l); !reason.empty()) {
    return FileStatus::Failure("Cannot read the bitmap " + name + ": " + reason);
  }
  std::array<std::array<std::uint8_t, 3>, 256> palette{};
  for (int i = 0; i < l.paletteCount; ++i) {
    const std::size_t at = l.paletteAt + static_cast<std::size_t>(i * l.paletteEntrySize);
    for (int c = 0; c < 3; ++c) palette[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(bytes[at + c]);
  }
  const int width = static_cast<int>(l.width);
  const int height = static_cast<int>(l.height);
  const std::size_t rowBytes = static_cast<std::size_t>((l.width * l.bits + 31) / 32 * 4);
  Bitmap out(width, height);
  for (int y = 0; y < height; ++y) {
    const int fileRow = l.topDown ? y : height - 1 - y;
    const auto* src = reinterpret_cast<const std::uint8_t*>(bytes.data()) + l.pixelsAt + rowBytes * static_cast<std::size_t>(fileRow);
    std::uint8_t* dst = out.Row(y);
    for (int x = 0; x < width; ++x, dst += 3) {
      if (l.bits >= 24) {
        const std::uint8_t* p = src + static_cast<std::size_t>(x) * static_cast<std::size_t>(l.bits / 8);
        dst[0] = p[0];
        dst[1] = p[1];
        dst[2] = p[2];
        continue;
      }
      const int bitIndex = x * l.bits;
      const int value = (src[bitIndex / 8] >> (8 - l.bits - bitIndex % 8)) & ((1 << l.bits) - 1);
      // An index beyond the palette shows black (the palette is zeroed there).
      const auto& colour = palette[static_cast<std::size_t>(value)];
      dst[0] = colour[0];
      dst[1] = colour[1];
      dst[2] = colour[2];
    }
  }
  bitmap = std::move(out);
  return FileStatus::Success();
}

std::string EncodeBmp(const Bitmap& bitmap) {
  const std::size_t rowBytes = (bitmap.RowBytes() + 3) / 4 * 4;
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(bitmap.Height());
  std::string out;
  out.reserve(54 + pixelBytes);
  out += "BM";
  Put32(out, static_cast<std::uint32_t>(54 + pixelBytes));
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(bitmap.Width()));
  Put32(out, static_cast<std::uint32_t>(bitmap.Height()));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);
  Put32(out, static_cast<std::uint32_t>(pixelBytes));
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    out.append(reinterpret_cast<const char*>(bitmap.Row(y)), bitmap.RowBytes());
    out.append(rowBytes - bitmap.RowBytes(), '\0');
  }
  return out;
}

FileStatus LoadBmpFile(Bitmap& bitmap, const std::filesystem::path& file) {
  std::string bytes;
  FileStatus read = ReadWholeFile(file, bytes);
  if (!read.ok) return read;
  return DecodeBmp(bytes, QuotedPath(file), bitmap);
}

FileStatus SaveBmpFile(const Bitmap& bitmap, const std::filesystem::path& file) {
  if (bitmap.Empty()) return FileStatus::Failure("Cannot save " + QuotedPath(file) + ": the image is empty");
  return WriteFileAtomically(file, EncodeBmp(bitmap));
}
