#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "cli/json_writer.h"

namespace {

TEST(JsonWriter, NestsAndEscapes) {
  JsonWriter json;
  json.BeginArray();
  json.BeginObject();
  json.Key("file");
  json.String("a \"b\"\\c\n\x01");
  json.Key("n");
  json.Number(0.5L);
  json.Key("bad");
  json.Number(1.0L / 0.0L);
  json.Key("ok");
  json.Bool(true);
  json.EndObject();
  json.Integer(-3);
  json.EndArray();
  EXPECT_EQ(json.Text(), R"([{"file":"a \"b\"\\c\n\u0001","n":0.5,"bad":null,"ok":true},-3])");
}

// Bytes that are no UTF-8 become the text \xNN; well-formed characters pass,
// control characters (C1 too) are escaped.
TEST(JsonWriter, StringsStayValidUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xC3\xA4\xE2\x82\xAC", "\"\xC3\xA4\xE2\x82\xAC\""},  // ä and the euro sign
      {"a\xFF", R"("a\\xFF")"},
      {"\xC3", R"("\\xC3")"},                         // cut short
      {"\xC0\xAF", R"("\\xC0\\xAF")"},               // overlong
      {"\xED\xA0\x80", R"("\\xED\\xA0\\x80")"},     // a surrogate
      {"\xF4\x90\x80\x80", R"("\\xF4\\x90\\x80\\x80")"},  // above U+10FFFF
      {"\x1b[0m\xC2\x9B", R"("\u001b[0m\u009b")"},
  };
  for (const auto& [value, text] : cases) {
    JsonWriter json;
    json.String(value);
    EXPECT_EQ(json.Text(), text) << text;
  }
}

TEST(JsonWriter, ChannelCarriesEveryFieldInOrder) {
  TChannel channel;
  channel.spunkt = 640;
  channel.plt = {499.5, 300};
  channel.CircleDiff = 1e11;
  channel.levelOK = 2;
  JsonWriter json;
  WriteChannel(json, channel);
  const std::string& text = json.Text();
  EXPECT_EQ(text.rfind("{\"spunkt\":640,\"tm\":0,", 0), 0u);
  EXPECT_NE(text.find("\"plt\":{\"x\":499.5,\"y\":300}"), std::string::npos);
  EXPECT_NE(text.find("\"CircleDiff\":100000000000,"), std::string::npos);
  EXPECT_NE(text.find("\"shape\":0,\"levelOK\":2}"), std::string::npos);
  // 49 fields: count the keys at the top level of the object.
  int depth = 0, keys = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"' && text[i - 1] != '\\') {
      inString = !inString;
      if (!inString && depth == 1 && text[i + 1] == ':') ++keys;
    } else if (!inString && c == '{') {
      ++depth;
    } else if (!inString && c == '}') {
      --depth;
    }
  }
  EXPECT_EQ(keys, 49);
}

}  // namespace
