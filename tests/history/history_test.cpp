#include "history/history.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <map>
#include <sstream>

#include "history/history_export.h"
#include "platform/atomic_file.h"
#include "tests/temp_folder.h"

namespace {

HistoryRecord Measurement(const std::string& time, const std::string& job, double depth) {
  HistoryRecord r;
  r.time = time;
  r.serial = "00042";
  r.jobId = job;
  r.material = "Steel";
  r.pixelPerInch = 3573;
  r.zFactor = 1.0472;
  r.table = "0:0;14.2:-0.14";
  r.depthMm = depth;
  r.widthMm = 1.393;
  r.depthText = "0.521";
  r.widthText = "1.393";
  r.units = "mm";
  r.shape = 3;
  r.levelOK = 1;
  if (!job.empty()) {
    r.verdict = r.depthVerdict = "OK";
    r.widthVerdict = "NOT DECIDABLE";
    r.depthU = 0.019;
    r.widthU = 0.011;
  }
  return r;
}

TEST(History, RecordsReadBackAndFilter) {
  TempFolder home;
  std::unique_ptr<HistoryDb> db;
  ASSERT_TRUE(HistoryDb::Open(home.Path(), db).ok);
  HistoryRecord a = Measurement("2026-12-10T09:00:00+01:00", "12-345", 0.521);
  HistoryRecord b = Measurement("2026-12-11T10:30:00+01:00", "K7", 0.8);
  HistoryRecord c = Measurement("2026-12-11T11:00:00+01:00", "", 0.3);
  c.depthMm.reset();  // nothing measured
  c.purpose = "verification";
  for (HistoryRecord* r : {&a, &b, &c}) ASSERT_TRUE(db->Record(*r).ok);
  EXPECT_EQ(b.id, a.id + 1);

  std::vector<HistoryRecord> all;
  ASSERT_TRUE(db->Query({}, all).ok);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].jobId, "12-345");
  EXPECT_EQ(all[0].table, "0:0;14.2:-0.14");
  EXPECT_EQ(all[0].depthMm, 0.521);
  EXPECT_EQ(all[0].widthVerdict, "NOT DECIDABLE");
  EXPECT_EQ(all[0].depthU, 0.019);
  EXPECT_FALSE(all[2].depthMm);
  EXPECT_FALSE(all[2].verdict);
  EXPECT_EQ(all[2].purpose, "verification");

  const struct {
    HistoryFilter filter;
    std::size_t count;
  } filters[] = {
      {{.jobId = "12-345"}, 1},
      {{.jobId = "k7"}, 1},  // without regard to case
      {{.since = "2026-12-11T00:00:00+01:00"}, 2},
      {{.until = "2026-12-10T23:59:59+01:00"}, 1},
      {{.verdict = "OK"}, 2},
      {{.purpose = "verification"}, 1},
      {{.jobId = "none"}, 0},
  };
  for (const auto& f : filters) {
    std::vector<HistoryRecord> found;
    ASSERT_TRUE(db->Query(f.filter, found).ok);
    EXPECT_EQ(found.size(), f.count);
  }
  // Kept across a reopening.
  db.reset();
  ASSERT_TRUE(HistoryDb::Open(home.Path(), db, false).ok);
  ASSERT_TRUE(db->Query({}, all).ok);
  EXPECT_EQ(all.size(), 3u);
}

int UserVersion(const std::filesystem::path& file) {
  sqlite3* raw = nullptr;
  sqlite3_open(file.c_str(), &raw);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(raw, "PRAGMA user_version", -1, &stmt, nullptr);
  const int version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  sqlite3_close(raw);
  return version;
}

void Execute(const std::filesystem::path& file, const char* sql) {
  sqlite3* raw = nullptr;
  sqlite3_open(file.c_str(), &raw);
  sqlite3_exec(raw, sql, nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

// Every earlier schema migrates to this one; a newer one, a damaged file and
// a file that is none are named and left as they are, byte for byte.
TEST(History, SchemaVersionsAndDamagedFiles) {
  TempFolder home;
  const std::filesystem::path file = home / "VELDRAQXHISTORY.sqlite";
  for (int earlier = 0; earlier < kHistorySchemaVersion; ++earlier) {
    std::filesystem::remove(file);
    // A database of that version: schema 0 is an empty one.
    Execute(file, "CREATE TABLE other (x); PRAGMA user_version=0;");
    std::unique_ptr<HistoryDb> db;
    ASSERT_TRUE(HistoryDb::Open(home.Path(), db).ok) << earlier;
    HistoryRecord r = Measurement("2026-12-11T10:00:00+01:00", "A", 0.5);
    EXPECT_TRUE(db->Record(r).ok);
    db.reset();
    EXPECT_EQ(UserVersion(file), kHistorySchemaVersion);
  }
  Execute(file, "PRAGMA user_version=99;");
  std::string before = ReadBytes(file);
  std::unique_ptr<HistoryDb> db;
  FileStatus opened = HistoryDb::Open(home.Path(), db);
  EXPECT_FALSE(opened.ok);
  EXPECT_NE(opened.message.find("written by a newer program (schema 99"), std::string::npos) << opened.message;
  EXPECT_EQ(ReadBytes(file), before);

  for (const std::string& garbage : {std::string("not a database at all, but text\n"),
                                     std::string("SQLite format 3") + std::string(4096, '\x7f')}) {
    std::filesystem::remove(home / "VELDRAQXHISTORY.sqlite-wal");
    std::filesystem::remove(home / "VELDRAQXHISTORY.sqlite-shm");
    WriteBytes(file, garbage);
    opened = HistoryDb::Open(home.Path(), db);
    EXPECT_FALSE(opened.ok);
    EXPECT_NE(opened.message.find(QuotedPath(file)), std::string::npos) << opened.message;
    EXPECT_NE(opened.message.find("it is damaged"), std::string::npos) << opened.message;
    EXPECT_EQ(ReadBytes(file), garbage);
  }
}

TEST(History, ReadOnlyAndLockedDatabasesAreNamed) {
  TempFolder home;
  const std::filesystem::path file = home / "VELDRAQXHISTORY.sqlite";
  {
    std::unique_ptr<HistoryDb> db;
    ASSERT_TRUE(HistoryDb::Open(home.Path(), db).ok);
  }
  // Another program holds the database for writing.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::unique_ptr<HistoryDb> db;
  FileStatus status = HistoryDb::Open(home.Path(), db, true, 0.2);
  if (status.ok) {
    HistoryRecord r = Measurement("2026-12-11T10:00:00+01:00", "A", 0.5);
    status = db->Record(r);
  }
  EXPECT_FALSE(status.ok);
  EXPECT_NE(status.message.find("locked by another program"), std::string::npos) << status.message;
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  db.reset();

  if (::geteuid() != 0) {  // root writes read-only files
    ::chmod(file.c_str(), 0444);
    status = HistoryDb::Open(home.Path(), db);
    if (status.ok) {
      HistoryRecord r = Measurement("2026-12-11T10:00:00+01:00", "A", 0.5);
      status = db->Record(r);
    }
    EXPECT_FALSE(status.ok);
    EXPECT_NE(status.message.find("cannot be written"), std::string::npos) << status.message;
    ::chmod(file.c_str(), 0644);
  }
}

// RFC 4180 as a reader sees it: fields, quotes doubled, line breaks inside.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

TEST(HistoryExport, CsvReadsBackFieldForField) {
  HistoryRecord a = Measurement("2026-12-11T10:00:00+01:00", "A,\"B\"", 0.5213);
  a.id = 7;
  a.depthText = "line one\nline two";
  HistoryRecord b = Measurement("2026-12-11T10:01:00+01:00", "", 0.4);
  b.id = 8;
  b.widthMm.reset();
  const auto rows = ParseCsv(HistoryCsv({a, b}));
  ASSERT_EQ(rows.size(), 3u);
  const std::vector<std::string>& header = rows[0];
  ASSERT_EQ(rows[1].size(), header.size());
  ASSERT_EQ(rows[2].size(), header.size());
  std::map<std::string, std::string> first, second;
  for (std::size_t i = 0; i < header.size(); ++i) {
    first[header[i]] = rows[1][i];
    second[header[i]] = rows[2][i];
  }
  EXPECT_EQ(first["id"], "7");
  EXPECT_EQ(first["job_id"], "A,\"B\"");
  EXPECT_EQ(first["depth_text"], "line one\nline two");
  EXPECT_EQ(first["depth_mm"], "0.5213");
  EXPECT_EQ(first["time"], "2026-12-11T10:00:00+01:00");
  EXPECT_EQ(first["verdict"], "OK");
  EXPECT_EQ(second["width_mm"], "");
  EXPECT_EQ(second["verdict"], "");
}

TEST(HistoryExport, DfqInTheKFieldForm) {
  Job job;
  job.id = "12-345";
  job.note = "Carton A";
  job.depth = 0.52;
  job.width = 1.4;
  job.depthTolerance = {0.50, 0.54};
  job.widthTolerance = {std::nullopt, 1.45};
  HistoryRecord a = Measurement("2026-12-11T10:00:00+01:00", "12-345", 0.521);
  HistoryRecord b = Measurement("2026-12-11T10:05:09+01:00", "12-345", 0.519);
  b.depthMm.reset();
  std::multimap<std::string, std::string> fields;
  std::istringstream in(HistoryDfq("12-345", &job, {a, b}));
  for (std::string line; std::getline(in, line);) {
    ASSERT_FALSE(line.empty());
    ASSERT_EQ(line.back(), '\r');
    line.pop_back();
    ASSERT_EQ(line[0], 'K') << line;
    const std::size_t blank = line.find(' ');
    ASSERT_NE(blank, std::string::npos) << line;
    fields.emplace(line.substr(0, blank), line.substr(blank + 1));
  }
  auto one = [&](const std::string& key) {
    EXPECT_EQ(fields.count(key), 1u) << key;
    return fields.count(key) ? fields.find(key)->second : "";
  };
  auto all = [&](const std::string& key) {
    std::vector<std::string> values;
    for (auto [it, end] = fields.equal_range(key); it != end; ++it) values.push_back(it->second);
    return values;
  };
  EXPECT_EQ(one("K0100"), "2");
  EXPECT_EQ(one("K1001"), "12-345");
  EXPECT_EQ(one("K1002"), "Carton A");
  EXPECT_EQ(one("K2001/1"), "Depth");
  EXPECT_EQ(one("K2101/1"), "0.52");
  EXPECT_EQ(one("K2110/1"), "0.5");
  EXPECT_EQ(one("K2111/1"), "0.54");
  EXPECT_EQ(fields.count("K2110/2"), 0u);  // one-sided
  EXPECT_EQ(one("K2111/2"), "1.45");
  EXPECT_EQ(one("K2142/2"), "mm");
  EXPECT_EQ(all("K0001/1"), (std::vector<std::string>{"0.521", "0"}));
  EXPECT_EQ(one("K0002/1"), "255");  // the depth not measured
  EXPECT_EQ(all("K0001/2"), (std::vector<std::string>{"1.393", "1.393"}));
  EXPECT_EQ(all("K0004/1"), (std::vector<std::string>{"11.12.2026/10:00:00", "11.12.2026/10:05:09"}));
  EXPECT_EQ(all("K0012/2"), (std::vector<std::string>{"00042", "00042"}));
}

}  // namespace
