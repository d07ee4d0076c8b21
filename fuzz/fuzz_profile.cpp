// Profile text reader and writer: any bytes as a file, any names and values.
// A successful write must read back as written and keep the other keys.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first three lines name a section, a key and a value; the rest is the file.
  std::string_view fields[3];
  for (auto& field : fields) {
    std::size_t end = input.find('\n');
    field = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  }
  FindProfileValue(input, fields[0], fields[1]);
  std::optional<std::string> written = SetProfileValue(input, fields[0], fields[1], fields[2]);
  if (!written) return 0;
  std::optional<std::string> back = FindProfileValue(*written, fields[0], fields[1]);
  std::string_view value = fields[2];
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t' || value.front() == '\v' || value.front() == '\f')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\v' || value.back() == '\f')) value.remove_suffix(1);
  if (!back || *back != value) std::abort();
  return 0;
}
