#pragma once

// A small JSON writer for the command-line tool's output; its text is
// always valid JSON in UTF-8, whatever bytes the strings hold.

#include <string>

#include "measure/records.h"

class JsonWriter {
public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // Starts a member of the current object; the value follows.
  void Key(const std::string& key);
  // Escapes what JSON requires; bytes that are no UTF-8 become "\\xNN".
  void String(const std::string& value);
  void Null();
  void Number(long double value);  // non-finite numbers are written as null
  void Integer(long long value);
  void Bool(bool value);
  void Point(const TRealPoint& point);

  const std::string& Text() const { return text_; }

private:
  void BeforeValue();

  std::string text_;
  bool needComma_ = false;
};

// Every field of the channel record under its own name, in record order.
void WriteChannel(JsonWriter& json, const TChannel& channel);
