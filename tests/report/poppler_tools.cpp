#include "tests/report/poppler_tools.h"

#include <cmath>
#include <cstring>
#include <cstdio>
#include <regex>
#include <sstream>

namespace {

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::string DecodeEntities(std::string text) {
  const std::pair<const char*, const char*> entities[] = {{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : entities) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1)) text.replace(at, std::strlen(from), to);
  }
  return text;
}

}  // namespace

std::string RunTool(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf) {
  const std::string html = RunTool("pdftotext -bbox " + Quoted(pdf) + " -");
  static const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<PdfWord> words;
  for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
    words.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]), DecodeEntities((*it)[5])});
  }
  return words;
}

std::string TextAt(const std::vector<PdfWord>& words, double x, double y) {
  std::vector<const PdfWord*> line;
  for (const PdfWord& w : words) {
    if (std::abs(w.yMin - y) <= 1) line.push_back(&w);
  }
  const PdfWord* current = nullptr;
  for (const PdfWord* w : line) {
    if (std::abs(w->xMin - x) <= 1) current = w;
  }
  if (!current) return {};
  std::string text = current->text;
  for (bool more = true; more;) {
    more = false;
    for (const PdfWord* w : line) {
      if (w->xMin > current->xMax - 0.5 && w->xMin - current->xMax < 0.5 * (current->yMax - current->yMin)) {
        text += " " + w->text;
        current = w;
        more = true;
        break;
      }
    }
  }
  return text;
}

std::string PdfInfo(const std::filesystem::path& pdf, const std::string& field) {
  std::istringstream out(RunTool("pdfinfo " + Quoted(pdf)));
  for (std::string line; std::getline(out, line);) {
    if (line.rfind(field + ":", 0) != 0) continue;
    std::string value = line.substr(field.size() + 1);
    value.erase(0, value.find_first_not_of(' '));
    return value;
  }
  return {};
}

std::vector<PdfImage> PdfImages(const std::filesystem::path& pdf) {
  std::istringstream out(RunTool("pdfimages -list " + Quoted(pdf)));
  std::vector<PdfImage> images;
  std::string line;
  std::getline(out, line);
  std::getline(out, line);
  while (std::getline(out, line)) {
    std::istringstream fields(line);
    std::string page, num, type, color, comp, bpc, enc, interp, object, generation;
    PdfImage image;
    fields >> page >> num >> type >> image.width >> image.height >> color >> comp >> bpc >> enc >> interp >> object >>
        generation >> image.xPpi >> image.yPpi;
    if (fields) images.push_back(image);
  }
  return images;
}

std::vector<PdfFont> PdfFonts(const std::filesystem::path& pdf) {
  std::istringstream out(RunTool("pdffonts " + Quoted(pdf)));
  std::vector<PdfFont> fonts;
  std::string line;
  std::getline(out, line);
  std::getline(out, line);
  while (std::getline(out, line)) {
    std::istringstream fields(line);
    std::string name, type1, type2, encoding, emb;
    fields >> name >> type1 >> type2 >> encoding >> emb;
    if (auto plus = name.find('+'); plus != std::string::npos) name = name.substr(plus + 1);
    fonts.push_back({name, emb == "yes"});
  }
  return fonts;
}

bool RenderPage(const std::filesystem::path& pdf, int dpi, const std::filesystem::path& png) {
  std::filesystem::path stem = png;
  stem.replace_extension();
  RunTool("pdftoppm -png -singlefile -r " + std::to_string(dpi) + " " + Quoted(pdf) + " " + Quoted(stem));
  return std::filesystem::exists(png);
}
