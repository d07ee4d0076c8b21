#include "cli/json_writer.h"

#include <cmath>
#include <cstdio>

#include "cli/text_escape.h"

void JsonWriter::BeforeValue() {
  if (needComma_) text_ += ',';
  needComma_ = true;
}

void JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  needComma_ = false;
}

void JsonWriter::EndObject() {
  text_ += '}';
  needComma_ = true;
}

void JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  needComma_ = false;
}

void JsonWriter::EndArray() {
  text_ += ']';
  needComma_ = true;
}

void JsonWriter::Key(const std::string& key) {
  String(key);
  text_ += ':';
  needComma_ = false;
}

void JsonWriter::String(const std::string& value) {
  BeforeValue();
  text_ += '"';
  ForEachUtf8(
      value,
      [&](std::string_view character) {
        if (character.size() > 1) {
          const auto second = static_cast<unsigned char>(character[1]);
          if (character.size() == 2 && static_cast<unsigned char>(character[0]) == 0xC2 && second < 0xA0) {
            char escaped[8];  // a C1 control character
            std::snprintf(escaped, sizeof escaped, "\\u%04x", second);
            text_ += escaped;
          } else {
            text_ += character;
          }
          return;
        }
        const auto c = static_cast<unsigned char>(character[0]);
        switch (c) {
          case '"': text_ += "\\\""; break;
          case '\\': text_ += "\\\\"; break;
          case '\n': text_ += "\\n"; break;
          case '\r': text_ += "\\r"; break;
          case '\t': text_ += "\\t"; break;
          default:
            if (c < 0x20 || c == 0x7F) {
              char escaped[8];
              std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
              text_ += escaped;
            } else {
              text_ += static_cast<char>(c);
            }
        }
      },
      // A byte that is no UTF-8 (a file name in another encoding) becomes
      // the four characters \xNN, so the output stays valid JSON and the
      // name stays recognisable.
      [&](unsigned char c) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\\\x%02X", c);
        text_ += escaped;
      });
  text_ += '"';
}

void JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
}

void JsonWriter::Number(long double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    text_ += "null";
    return;
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.17g", static_cast<double>(value));
  std::string number(buffer);
  if (auto comma = number.find(','); comma != std::string::npos) number[comma] = '.';
  text_ += number;
}

void JsonWriter::Integer(long long value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Point(const TRealPoint& point) {
  BeginObject();
  Key("x");
  Number(point.x);
  Key("y");
  Number(point.y);
  EndObject();
}

void WriteChannel(JsonWriter& json, const TChannel& c) {
  json.BeginObject();
  json.Key("spunkt"); json.Integer(c.spunkt);
  json.Key("tm"); json.Number(c.tm);
  json.Key("tc"); json.Number(c.tc);
  json.Key("mm"); json.Number(c.mm);
  json.Key("mc"); json.Number(c.mc);
  json.Key("bm"); json.Number(c.bm);
  json.Key("bc"); json.Number(c.bc);
  const std::pair<const char*, const TRealPoint*> points[] = {
      {"plt", &c.plt},   {"plb", &c.plb},   {"prt", &c.prt},   {"prb", &c.prb},   {"plc", &c.plc},
      {"prc", &c.prc},   {"pl10", &c.pl10}, {"pr10", &c.pr10}, {"pl20", &c.pl20}, {"pr20", &c.pr20},
      {"pl30", &c.pl30}, {"pr30", &c.pr30}, {"pl40", &c.pl40}, {"pr40", &c.pr40}, {"pl50", &c.pl50},
      {"pr50", &c.pr50}, {"pl80", &c.pl80}, {"pr80", &c.pr80}};
  for (const auto& [name, point] : points) {
    json.Key(name);
    json.Point(*point);
  }
  json.Key("mx"); json.Number(c.mx);
  json.Key("my"); json.Number(c.my);
  json.Key("radius"); json.Number(c.radius);
  json.Key("plr"); json.Point(c.plr);
  json.Key("prr"); json.Point(c.prr);
  json.Key("lvm"); json.Number(c.lvm);
  json.Key("lvc"); json.Number(c.lvc);
  json.Key("rvm"); json.Number(c.rvm);
  json.Key("rvc"); json.Number(c.rvc);
  json.Key("plv"); json.Point(c.plv);
  json.Key("prv"); json.Point(c.prv);
  json.Key("psv"); json.Point(c.psv);
  const std::pair<const char*, double> reals[] = {
      {"alphav", c.alphav}, {"alphaO", c.alphaO},   {"RectDiff", c.RectDiff}, {"CircleDiff", c.CircleDiff},
      {"VDiff", c.VDiff},   {"depth", c.depth},     {"depthr", c.depthr},     {"depthv", c.depthv},
      {"width", c.width},   {"widthb", c.widthb}};
  for (const auto& [name, value] : reals) {
    json.Key(name);
    json.Number(value);
  }
  json.Key("shape"); json.Integer(c.shape);
  json.Key("levelOK"); json.Integer(c.levelOK);
  json.EndObject();
}
