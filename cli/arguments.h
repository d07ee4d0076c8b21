#pragma once

// Command-line options of the vqx commands: "--name value" options, "--flag"
// switches and positional arguments.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct ParsedArguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--cal" -> "x.ini"
  std::set<std::string> flags;                 // "--json"

  bool Has(const std::string& flag) const { return flags.count(flag) > 0; }
  std::optional<std::string> Option(const std::string& name) const;
};

// Parses args against the options that take a value and the switches the
// command knows. Returns false with a one-line message for anything else.
bool ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& switches, ParsedArguments& parsed, std::string& error);

// A number option: false with a message naming the option when the text is not a number.
bool NumberOption(const ParsedArguments& parsed, const std::string& name, double& value, std::string& error);

// A seed option: decimal digits only, 0 .. 2^32 - 1; false with a message otherwise.
bool SeedOption(const ParsedArguments& parsed, const std::string& name, std::uint32_t& value, std::string& error);
