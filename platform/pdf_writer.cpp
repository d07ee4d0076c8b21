#include "platform/pdf_writer.h"

#include <hpdf.h>

#include <cstdio>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/font_lookup.h"
#include "platform/shell_open.h"

namespace {

// Decodes UTF-8; a byte that starts no valid sequence becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      c = (c << 6) | (next & 0x3F);
    }
    if (valid && (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (!valid) {
      out.push_back(U'\uFFFD');
      ++i;
      continue;
    }
    out.push_back(c);
    i += 1 + static_cast<std::size_t>(extra);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

void OnHaruError(HPDF_STATUS error, HPDF_STATUS detail, void* data);

}  // namespace

struct PdfWriter::State {
  bool autoLaunch = false;
  HPDF_Doc doc = nullptr;
  HPDF_Page page = nullptr;
  std::filesystem::path file;
  std::string error;  // the first error
  std::string family = "Arial";
  bool bold = false;
  double size = 12;
  std::map<std::pair<std::string, int>, HPDF_Font> loaded;  // face -> font of this document
  // fontconfig's answers, asked once per document.
  std::map<std::pair<std::string, bool>, std::optional<FontFace>> primaries;
  std::map<std::pair<std::string, char32_t>, std::optional<FontFace>> fallbacks;
  std::vector<HPDF_Image> images;

  void Fail(std::string text) {
    if (error.empty()) error = std::move(text);
  }
  bool Usable() const { return error.empty() && doc; }

  // The libharu font of a face, embedded on first use.
  HPDF_Font FontOf(const FontFace& face) {
    auto key = std::make_pair(face.file.string(), face.index);
    if (auto it = loaded.find(key); it != loaded.end()) return it->second;
    const std::string file = face.file.string();
    const bool collection = face.file.extension() == ".ttc" || face.file.extension() == ".TTC";
    const char* name = collection ? HPDF_LoadTTFontFromFile2(doc, file.c_str(), static_cast<HPDF_UINT>(face.index), HPDF_TRUE)
                                  : HPDF_LoadTTFontFromFile(doc, file.c_str(), HPDF_TRUE);
    HPDF_Font font = name ? HPDF_GetFont(doc, name, "UTF-8") : nullptr;
    if (!font) Fail("the font file \"" + file + "\" cannot be embedded");
    loaded.emplace(key, font);
    return font;
  }

  const std::optional<FontFace>& Primary() {
    auto key = std::make_pair(family, bold);
    auto it = primaries.find(key);
    if (it == primaries.end()) it = primaries.emplace(key, MatchFontFace(family, bold)).first;
    return it->second;
  }

  // The face that prints `c`: the primary one when it can, else a fallback.
  FontFace FaceFor(const FontFace& primary, char32_t c) {
    if (FaceHasCharacter(primary, c)) return primary;
    auto key = std::make_pair(primary.file.string() + (bold ? "|bold" : "|regular"), c);
    auto it = fallbacks.find(key);
    if (it == fallbacks.end()) it = fallbacks.emplace(key, FallbackFace(family, bold, c)).first;
    return it->second ? *it->second : primary;
  }
};

namespace {

void OnHaruError(HPDF_STATUS error, HPDF_STATUS detail, void* data) {
  char text[96];
  std::snprintf(text, sizeof text, "PDF writer error 0x%04X (detail %u)", static_cast<unsigned>(error),
                static_cast<unsigned>(detail));
  auto* first = static_cast<std::string*>(data);
  if (first->empty()) *first = text;
}

}  // namespace

PdfWriter::PdfWriter(bool autoLaunch) : state_(std::make_unique<State>()) {
  state_->autoLaunch = autoLaunch;
  state_->doc = HPDF_New(OnHaruError, &state_->error);
  if (!state_->doc) {
    state_->Fail("out of memory for the PDF writer");
    return;
  }
  HPDF_UseUTFEncodings(state_->doc);
  HPDF_SetCurrentEncoder(state_->doc, "UTF-8");
}

PdfWriter::~PdfWriter() {
  if (state_->doc) HPDF_Free(state_->doc);
}

bool PdfWriter::Failed() const { return !state_->error.empty(); }

void PdfWriter::SetInfo(std::string_view title, std::string_view subject, std::string_view keywords,
                        std::string_view author) {
  if (!state_->Usable()) return;
  const std::pair<HPDF_InfoType, std::string_view> fields[] = {
      {HPDF_INFO_TITLE, title}, {HPDF_INFO_SUBJECT, subject}, {HPDF_INFO_KEYWORDS, keywords}, {HPDF_INFO_AUTHOR, author}};
  for (const auto& [type, value] : fields) HPDF_SetInfoAttr(state_->doc, type, std::string(value).c_str());
}

void PdfWriter::SetCompression(bool flate) {
  if (!state_->Usable()) return;
  HPDF_SetCompressionMode(state_->doc, flate ? HPDF_COMP_ALL : HPDF_COMP_NONE);
}

void PdfWriter::SetFileName(const std::filesystem::path& file) { state_->file = file; }

void PdfWriter::BeginDoc() {
  if (!state_->Usable()) return;
  state_->page = HPDF_AddPage(state_->doc);
  if (state_->page) HPDF_Page_SetSize(state_->page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
}

void PdfWriter::SetFont(std::string_view family, bool bold, double size) {
  state_->family = family;
  state_->bold = bold;
  state_->size = size;
}

void PdfWriter::TextOut(double x, double y, std::string_view text) {
  State& s = *state_;
  if (!s.Usable() || !s.page || text.empty()) return;
  const std::optional<FontFace> primary = s.Primary();
  if (!primary) {
    s.Fail("no font is installed for \"" + s.family + "\"");
    return;
  }
  HPDF_Font primaryFont = s.FontOf(*primary);
  if (!primaryFont) return;
  // Runs of characters that one face prints, in order.
  std::vector<std::pair<FontFace, std::string>> runs;
  for (char32_t c : DecodeUtf8(text)) {
    const FontFace face = s.FaceFor(*primary, c);
    if (runs.empty() || !(runs.back().first == face)) runs.emplace_back(face, std::string());
    AppendUtf8(runs.back().second, c);
  }
  const auto fontSize = static_cast<HPDF_REAL>(s.size);
  const double baseline = kPageHeight - y - HPDF_Font_GetAscent(primaryFont) * s.size / 1000.0;
  double penX = x;
  for (const auto& [face, run] : runs) {
    HPDF_Font font = s.FontOf(face);
    if (!font) return;
    HPDF_Page_SetFontAndSize(s.page, font, fontSize);
    HPDF_Page_BeginText(s.page);
    HPDF_Page_TextOut(s.page, static_cast<HPDF_REAL>(penX), static_cast<HPDF_REAL>(baseline), run.c_str());
    HPDF_Page_EndText(s.page);
    penX += HPDF_Page_TextWidth(s.page, run.c_str());
  }
}

int PdfWriter::AddJpegImage(std::string_view jpeg) {
  State& s = *state_;
  if (!s.Usable()) return -1;
  HPDF_Image image =
      HPDF_LoadJpegImageFromMem(s.doc, reinterpret_cast<const HPDF_BYTE*>(jpeg.data()), static_cast<HPDF_UINT>(jpeg.size()));
  if (!image) {
    s.Fail("a picture cannot be added");
    return -1;
  }
  s.images.push_back(image);
  return static_cast<int>(s.images.size()) - 1;
}

void PdfWriter::ShowImage(int index, double x, double y, double width, double height) {
  State& s = *state_;
  if (!s.Usable() || !s.page) return;
  if (index < 0 || index >= static_cast<int>(s.images.size())) {
    s.Fail("picture " + std::to_string(index) + " does not exist");
    return;
  }
  HPDF_Page_DrawImage(s.page, s.images[static_cast<std::size_t>(index)], static_cast<HPDF_REAL>(x),
                      static_cast<HPDF_REAL>(kPageHeight - y - height), static_cast<HPDF_REAL>(width),
                      static_cast<HPDF_REAL>(height));
}

FileStatus PdfWriter::EndDoc() {
  State& s = *state_;
  const std::string cannot = "Cannot write the report " + QuotedPath(s.file) + ": ";
  if (s.file.empty()) return FileStatus::Failure("Cannot write a report without a file name");
  if (!s.page && s.error.empty()) s.Fail("the document was not begun");
  if (s.Usable()) HPDF_SaveToStream(s.doc);
  std::string bytes;
  if (s.Usable()) {
    bytes.resize(HPDF_GetStreamSize(s.doc));
    HPDF_UINT32 size = static_cast<HPDF_UINT32>(bytes.size());
    HPDF_GetContents(s.doc, reinterpret_cast<HPDF_BYTE*>(bytes.data()), &size);
    bytes.resize(size);
  }
  if (!s.error.empty()) return FileStatus::Failure(cannot + s.error);
  FileStatus written = WriteFileAtomically(s.file, bytes);
  if (!written.ok) return written;
  if (s.autoLaunch) OpenWithDefaultApplication(s.file);
  return FileStatus::Success();
}
