#include "platform/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct CharSetDeleter {
  void operator()(FcCharSet* s) const { FcCharSetDestroy(s); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;
using ObjectSet = std::unique_ptr<FcObjectSet, ObjectSetDeleter>;
using CharSet = std::unique_ptr<FcCharSet, CharSetDeleter>;

const FcChar8* Text(std::string_view s, std::string& keep) {
  keep.assign(s);
  return reinterpret_cast<const FcChar8*>(keep.c_str());
}

bool Initialised() {
  static const bool ok = FcInit() == FcTrue;
  return ok;
}

// fontconfig's configuration is not safe to use from two threads at once.
std::mutex& Lock() {
  static std::mutex mutex;
  return mutex;
}

Pattern FamilyPattern(std::string_view family, bool bold) {
  std::string keep;
  Pattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, Text(family, keep));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  return pattern;
}

// The face of a matched pattern when its outlines are TrueType.
std::optional<FontFace> TrueTypeFace(FcPattern* font) {
  FcChar8* format = nullptr;
  if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
      std::string_view(reinterpret_cast<char*>(format)) != "TrueType") {
    return std::nullopt;
  }
  FcChar8* file = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  FontFace face;
  face.file = reinterpret_cast<char*>(file);
  FcPatternGetInteger(font, FC_INDEX, 0, &face.index);
  FcChar8* family = nullptr;
  if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch) face.family = reinterpret_cast<char*>(family);
  return face;
}

// The faces fontconfig would print the pattern with, best first; the first
// TrueType one that `accept` takes.
template <typename Accept>
std::optional<FontFace> FirstSortedFace(Pattern pattern, Accept accept) {
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FontSet sorted(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
  if (!sorted) return std::nullopt;
  for (int i = 0; i < sorted->nfont; ++i) {
    Pattern font(FcFontRenderPrepare(nullptr, pattern.get(), sorted->fonts[i]));
    if (!font) continue;
    if (auto face = TrueTypeFace(font.get()); face && accept(*face)) return face;
  }
  return std::nullopt;
}

// Character coverage of a face, read once per face.
const FcCharSet* CoverageOf(const FontFace& face) {
  static std::map<std::pair<std::string, int>, CharSet> cache;
  auto key = std::make_pair(face.file.string(), face.index);
  if (auto it = cache.find(key); it != cache.end()) return it->second.get();
  std::string keep;
  Pattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FILE, Text(key.first, keep));
  FcPatternAddInteger(pattern.get(), FC_INDEX, face.index);
  ObjectSet objects(FcObjectSetBuild(FC_CHARSET, static_cast<char*>(nullptr)));
  FontSet listed(FcFontList(nullptr, pattern.get(), objects.get()));
  CharSet coverage;
  if (listed && listed->nfont > 0) {
    FcCharSet* found = nullptr;
    if (FcPatternGetCharSet(listed->fonts[0], FC_CHARSET, 0, &found) == FcResultMatch) coverage.reset(FcCharSetCopy(found));
  }
  return cache.emplace(key, std::move(coverage)).first->second.get();
}

bool Covers(const FontFace& face, char32_t c) {
  const FcCharSet* coverage = CoverageOf(face);
  return coverage && FcCharSetHasChar(coverage, static_cast<FcChar32>(c)) == FcTrue;
}

}  // namespace

bool FontFamilyInstalled(std::string_view family) {
  std::lock_guard<std::mutex> guard(Lock());
  if (!Initialised() || family.empty()) return false;
  std::string keep;
  Pattern pattern(FcPatternCreate());
  FcPatternAddString(pattern.get(), FC_FAMILY, Text(family, keep));
  ObjectSet objects(FcObjectSetBuild(FC_FAMILY, static_cast<char*>(nullptr)));
  FontSet listed(FcFontList(nullptr, pattern.get(), objects.get()));
  return listed && listed->nfont > 0;
}

std::optional<FontFace> MatchFontFace(std::string_view family, bool bold) {
  std::lock_guard<std::mutex> guard(Lock());
  if (!Initialised()) return std::nullopt;
  return FirstSortedFace(FamilyPattern(family, bold), [](const FontFace&) { return true; });
}

bool FaceHasCharacter(const FontFace& face, char32_t c) {
  std::lock_guard<std::mutex> guard(Lock());
  if (!Initialised()) return false;
  return Covers(face, c);
}

std::optional<FontFace> FallbackFace(std::string_view family, bool bold, char32_t c) {
  std::lock_guard<std::mutex> guard(Lock());
  if (!Initialised()) return std::nullopt;
  Pattern pattern = FamilyPattern(family, bold);
  CharSet wanted(FcCharSetCreate());
  FcCharSetAddChar(wanted.get(), static_cast<FcChar32>(c));
  FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
  return FirstSortedFace(std::move(pattern), [c](const FontFace& face) { return Covers(face, c); });
}
