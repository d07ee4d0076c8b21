#pragma once

// One-page PDF documents over libharu: an A4 portrait page addressed in
// points from its top-left corner with y growing downwards, text lines in
// installed TrueType fonts (embedded, UTF-8 text) and JPEG pictures.
//
// A text line's position is the top-left corner of its line box: the top of
// the line is the font's ascender. Characters the chosen face lacks are
// printed in a face that has them (Japanese texts in a Latin face, for example).
//
// Errors do not throw: the first one is kept, later operations do nothing,
// and EndDoc reports it without writing a file.

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_status.h"

class PdfWriter {
public:
  // With `autoLaunch` EndDoc opens the finished file in the desktop's viewer.
  explicit PdfWriter(bool autoLaunch);
  ~PdfWriter();
  PdfWriter(const PdfWriter&) = delete;
  PdfWriter& operator=(const PdfWriter&) = delete;

  void SetInfo(std::string_view title, std::string_view subject, std::string_view keywords, std::string_view author);
  // Flate compression of the content, font and metadata streams, or none.
  void SetCompression(bool flate);
  void SetFileName(const std::filesystem::path& file);

  // Starts the document with its one A4 portrait page.
  void BeginDoc();

  // Family by name as fontconfig finds it, regular or bold, size in points.
  void SetFont(std::string_view family, bool bold, double size);
  // One line of UTF-8 text with its top-left corner at (x, y); not wrapped or clipped.
  void TextOut(double x, double y, std::string_view text);

  // Adds a JPEG picture (baseline, 8-bit, colour or grey) and returns its
  // index, or -1 on failure.
  int AddJpegImage(std::string_view jpeg);
  // Shows picture `index` with its top-left corner at (x, y), scaled to width x height.
  void ShowImage(int index, double x, double y, double width, double height);

  // Completes the document and replaces the output file with it (written to
  // a temporary name and renamed, so no reader sees half a document); with
  // auto-launch opens it. On any earlier error nothing is written and the
  // message names the file and the reason.
  FileStatus EndDoc();

  bool Failed() const;

  static constexpr double kPageWidth = 595.276;
  static constexpr double kPageHeight = 841.89;

private:
  struct State;
  std::unique_ptr<State> state_;
};
