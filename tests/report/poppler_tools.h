#pragma once

// The PDF tools of poppler-utils, run on a finished report: what a reader of
// the file sees, independent of the code that wrote it.

#include <filesystem>
#include <string>
#include <vector>

// Standard output of a shell command (standard error discarded).
std::string RunTool(const std::string& command);

struct PdfWord {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::string text;
};

// `pdftotext -bbox`: the words with their boxes in points from the top-left corner.
std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf);

// The line of words starting at (x, y) within a point: the words with yMin
// within 1 of y, from the one starting within 1 of x on, joined by blanks
// while they follow one another (a gap below half the line height: a blank).
std::string TextAt(const std::vector<PdfWord>& words, double x, double y);

// Field value of `pdfinfo` ("Title", "Page size", ...), trimmed.
std::string PdfInfo(const std::filesystem::path& pdf, const std::string& field);

struct PdfImage {
  int width = 0, height = 0;
  int xPpi = 0, yPpi = 0;  // pixels per inch as shown, so a box of w points holds width / (w / 72)
};
// `pdfimages -list`, in page order.
std::vector<PdfImage> PdfImages(const std::filesystem::path& pdf);

struct PdfFont {
  std::string name;  // without the subset prefix
  bool embedded = false;
};
std::vector<PdfFont> PdfFonts(const std::filesystem::path& pdf);

// `pdftoppm -png -r dpi`: the page rendered to `png`.
bool RenderPage(const std::filesystem::path& pdf, int dpi, const std::filesystem::path& png);
