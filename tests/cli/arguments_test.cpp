#include <gtest/gtest.h>

#include "cli/arguments.h"

namespace {

TEST(ParseArguments, OptionsSwitchesAndFiles) {
  ParsedArguments parsed;
  std::string error;
  ASSERT_TRUE(ParseArguments({"a.CRY", "--cal", "x.ini", "--json", "b.CRY", "--level=-3"}, {"--cal", "--level"},
                             {"--json"}, parsed, error));
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"a.CRY", "b.CRY"}));
  EXPECT_EQ(parsed.Option("--cal"), "x.ini");
  EXPECT_EQ(parsed.Option("--level"), "-3");
  EXPECT_FALSE(parsed.Option("--material"));
  EXPECT_TRUE(parsed.Has("--json"));
  double level = 0;
  EXPECT_TRUE(NumberOption(parsed, "--level", level, error));
  EXPECT_EQ(level, -3);
}

TEST(ParseArguments, RejectsWhatTheCommandDoesNotKnow) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"--colour", "red"}, "unknown option --colour"},
      {{"--cal"}, "option --cal needs a value"},
      {{"--json=1"}, "unknown option --json"},
  };
  for (const auto& c : cases) {
    ParsedArguments parsed;
    std::string error;
    EXPECT_FALSE(ParseArguments(c.args, {"--cal"}, {"--json"}, parsed, error));
    EXPECT_EQ(error, c.message);
  }
  ParsedArguments parsed;
  std::string error;
  ASSERT_TRUE(ParseArguments({"--depth", "1,5x"}, {"--depth"}, {}, parsed, error));
  double depth = 0;
  EXPECT_FALSE(NumberOption(parsed, "--depth", depth, error));
  EXPECT_EQ(error, "option --depth needs a number, not '1,5x'");
  ASSERT_TRUE(ParseArguments({"--depth", "1,5"}, {"--depth"}, {}, parsed, error));
  EXPECT_TRUE(NumberOption(parsed, "--depth", depth, error));
  EXPECT_EQ(depth, 1.5);
}

}  // namespace
