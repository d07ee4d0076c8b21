#pragma once

// Installed fonts through fontconfig: whether a family is installed under its
// own name, the file that prints a family, and a face for characters that
// face lacks.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct FontFace {
  std::filesystem::path file;
  int index = 0;         // face inside a collection (.ttc)
  std::string family;    // the family the file declares
  bool operator==(const FontFace&) const = default;
};

// True when fontconfig lists a face whose family is `family` itself (without
// regard to case), not a substitute configured for that name.
bool FontFamilyInstalled(std::string_view family);

// The face fontconfig prints `family` with (a metric-compatible substitute
// when the family itself is missing), regular or bold. Only TrueType and
// OpenType-TrueType outlines count, since those are what the PDF writer can
// embed. Nothing when no such face exists.
std::optional<FontFace> MatchFontFace(std::string_view family, bool bold);

// Whether `face` has a glyph for the code point `c`.
bool FaceHasCharacter(const FontFace& face, char32_t c);

// A TrueType face close to `family` that has a glyph for `c`; nothing when no
// installed face has one.
std::optional<FontFace> FallbackFace(std::string_view family, bool bold, char32_t c);
