// Writes the report artwork that lives as a file: the brand logo of
// calibration certificates and verification reports, "VELDRA_Logo.bmp"
// (committed as data/report/VELDRA_Logo.bmp; the stamp and the icons are
// drawn when a report is made).
//   vqx_report_artwork FOLDER
#include <cstdio>
#include <filesystem>

#include "imaging/bmp_codec.h"
#include "report/report_artwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vqx_report_artwork FOLDER\n", stderr);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const FileStatus saved = SaveBmpFile(DrawBrandLogo(), folder / "VELDRA_Logo.bmp");
  if (!saved.ok) {
    std::fprintf(stderr, "%s\n", saved.message.c_str());
    return 3;
  }
  return 0;
}
