#include "measure/plausible_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string Number(double value) {
  std::ostringstream text;
  text << value;
  return text.str();
}

// The row of the table in docs/calibration-files.md that documents `range`.
std::string DocumentedRow(const PlausibleRange& range) {
  std::string key(range.key);
  if (range.firstIndex >= 0) {
    key += std::to_string(range.firstIndex) + " .. " + std::string(range.key) + std::to_string(range.lastIndex);
  }
  return "| " + std::string(range.section) + " | " + key + " | " + Number(range.min) + " .. " + Number(range.max) +
         " | " + std::string(range.meaning) + " |";
}

// Technicians read the ranges in the docs: the table there is the table
// the program checks with, row for row.
TEST(PlausibleValues, TheDocumentedTableIsTheCheckedOne) {
  std::ifstream in(std::string(VQX_SOURCE_DIR) + "/docs/calibration-files.md");
  ASSERT_TRUE(in) << "docs/calibration-files.md";
  std::set<std::string> documented;
  bool inTable = false;
  for (std::string line; std::getline(in, line);) {
    if (line == "| section | key | range | meaning |") inTable = true;
    else if (inTable && line.rfind("| ---", 0) != 0 && line.rfind("| ", 0) == 0) documented.insert(line);
    else if (inTable && line.empty()) break;
  }
  std::set<std::string> checked;
  for (const PlausibleRange& range : PlausibleRanges()) checked.insert(DocumentedRow(range));
  EXPECT_EQ(documented, checked);
}

TEST(PlausibleValues, KeysAndValuesAtTheEdges) {
  const std::filesystem::path file = "VELDRAQX.INI";
  const struct {
    const char* section;
    const char* key;
    double value;
    bool accepted;
  } cases[] = {
      {"VELDRAQXCAL", "ZFaktor", 0.5, true},
      {"VELDRAQXCAL", "ZFaktor", 2.0000001, false},
      {"veldraqxcal", "zfaktor", 5, false},  // names match without regard to case
      {"VELDRAQXCAL", "ZFaktor", std::numeric_limits<double>::quiet_NaN(), false},
      {"VELDRAQXCAL", "PixelPerInch", std::numeric_limits<double>::infinity(), false},
      {"VELDRAQXCAL", "LUTY5", -200, true},
      {"VELDRAQXCAL", "LUTY5", 1e308, false},
      {"VELDRAQXCAL", "LUTY6", 1e308, true},  // no such table entry: no range
      {"VELDRAQXSETUP", "D5", 4001, false},
      {"VELDRAQXSETUP", "D0", 4001, true},
      {"VELDRAQXCALSETUP", "COUNTH", 0, false},
      {"VELDRAQXCAL", "WFaktor", 99, true},  // keeps its own rule (taken as 1)
  };
  for (const auto& c : cases) {
    const FileStatus status = CheckPlausible(file, c.section, c.key, c.value);
    EXPECT_EQ(status.ok, c.accepted) << c.section << " " << c.key << " " << c.value << ": " << status.message;
  }
  const FileStatus refused = CheckPlausible(file, "VELDRAQXCAL", "ZFaktor", std::nan(""), "it was not used");
  EXPECT_EQ(refused.message,
            "\"VELDRAQX.INI\": key ZFaktor of section [VELDRAQXCAL] is no finite number, outside 0.5 .. 2 "
            "(depth factor (nominal 1)); it was not used");
}

}  // namespace
