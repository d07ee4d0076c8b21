#include "cli/text_escape.h"

#include <cstdio>

namespace {

// Length of the UTF-8 sequence starting at text[i], 0 when it is malformed
// (overlong forms, surrogates and values above U+10FFFF included).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

std::string HexByte(unsigned char c) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02X", c);
  return text;
}

}  // namespace

void ForEachUtf8(std::string_view text, const std::function<void(std::string_view)>& valid,
                 const std::function<void(unsigned char)>& invalid) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(text, i);
    if (length == 0) {
      invalid(static_cast<unsigned char>(text[i]));
      ++i;
    } else {
      valid(text.substr(i, length));
      i += length;
    }
  }
}

std::string EscapeForTerminal(std::string_view text) {
  std::string out;
  ForEachUtf8(
      text,
      [&](std::string_view character) {
        const auto first = static_cast<unsigned char>(character[0]);
        const bool c0 = character.size() == 1 && (first < 0x20 || first == 0x7F);
        const bool c1 = character.size() == 2 && first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
        if (c0 || c1) {
          for (char c : character) out += HexByte(static_cast<unsigned char>(c));
        } else {
          out += character;
        }
      },
      [&](unsigned char c) { out += HexByte(c); });
  return out;
}
