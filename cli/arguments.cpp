#include "cli/arguments.h"

#include "measure/numbers.h"

std::optional<std::string> ParsedArguments::Option(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return it->second;
}

bool ParseArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& switches, ParsedArguments& parsed, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      parsed.positional.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (auto equals = arg.find('='); equals != std::string::npos) {
      name = arg.substr(0, equals);
      inlineValue = arg.substr(equals + 1);
    }
    if (switches.count(name) && !inlineValue) {
      parsed.flags.insert(name);
    } else if (valueOptions.count(name)) {
      if (inlineValue) {
        parsed.options[name] = *inlineValue;
      } else if (i + 1 < args.size()) {
        parsed.options[name] = args[++i];
      } else {
        error = "option " + name + " needs a value";
        return false;
      }
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  return true;
}

bool NumberOption(const ParsedArguments& parsed, const std::string& name, double& value, std::string& error) {
  const auto text = parsed.Option(name);
  if (!text) return true;
  std::string decimal = *text;
  if (auto comma = decimal.find(','); comma != std::string::npos) decimal[comma] = '.';
  if (!ParseDecimal(decimal, value)) {
    error = "option " + name + " needs a number, not '" + *text + "'";
    return false;
  }
  return true;
}

bool SeedOption(const ParsedArguments& parsed, const std::string& name, std::uint32_t& value, std::string& error) {
  const auto text = parsed.Option(name);
  if (!text) return true;
  std::uint64_t number = 0;
  bool ok = !text->empty() && text->size() <= 10;
  for (char c : *text) {
    if (c < '0' || c > '9') ok = false;
    if (ok) number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (!ok || number > 0xFFFFFFFFu) {
    error = "option " + name + " needs a whole number from 0 to 4294967295, not '" + *text + "'";
    return false;
  }
  value = static_cast<std::uint32_t>(number);
  return true;
}
