#include "history/history.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cmath>
#include <ctime>
#include <utility>

namespace {

// The columns of a record, in the order of every statement below.
constexpr const char* kColumns =
    "time, purpose, serial, calibration_file, calibration_time, pixel_per_inch, z_factor, lut, job_id, material, "
    "level, fibre, depth_mm, width_mm, radius_mm, open_deg, alpha_v_deg, depth_text, width_text, radius_text, "
    "open_text, units, shape, level_ok, verdict, depth_verdict, width_verdict, depth_u, width_u, image";
constexpr int kColumnCount = 30;

// Schema 1, from an empty database.
constexpr const char* kSchema1 =
    "CREATE TABLE measurements (id INTEGER PRIMARY KEY, time TEXT NOT NULL, purpose TEXT NOT NULL, serial TEXT, "
    "calibration_file TEXT, calibration_time TEXT, pixel_per_inch REAL, z_factor REAL, lut TEXT, job_id TEXT, "
    "material TEXT, level REAL, fibre REAL, depth_mm REAL, width_mm REAL, radius_mm REAL, open_deg REAL, "
    "alpha_v_deg REAL, depth_text TEXT, width_text TEXT, radius_text TEXT, open_text TEXT, units TEXT, "
    "shape INTEGER, level_ok INTEGER, verdict TEXT, depth_verdict TEXT, width_verdict TEXT, depth_u REAL, "
    "width_u REAL, image TEXT);"
    "CREATE INDEX measurements_time ON measurements (time);"
    "CREATE INDEX measurements_job ON measurements (job_id COLLATE NOCASE, time);";

// The migrations: step i brings a database of version i to version i + 1.
constexpr const char* kMigrations[] = {kSchema1};
static_assert(std::size(kMigrations) == kHistorySchemaVersion);

class Statement {
public:
  Statement(sqlite3* db, const std::string& sql) { status_ = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr); }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  bool Ok() const { return status_ == SQLITE_OK; }
  sqlite3_stmt* get() const { return stmt_; }

  void Text(int i, const std::string& value) { sqlite3_bind_text(stmt_, i, value.c_str(), -1, SQLITE_TRANSIENT); }
  void Text(int i, const std::optional<std::string>& value) {
    if (value) Text(i, *value);
    else sqlite3_bind_null(stmt_, i);
  }
  void Real(int i, double value) { sqlite3_bind_double(stmt_, i, value); }
  void Real(int i, const std::optional<double>& value) {
    if (value && std::isfinite(*value)) sqlite3_bind_double(stmt_, i, *value);
    else sqlite3_bind_null(stmt_, i);
  }
  void Integer(int i, long long value) { sqlite3_bind_int64(stmt_, i, value); }

  std::string TextAt(int i) const {
    const unsigned char* text = sqlite3_column_text(stmt_, i);
    return text ? reinterpret_cast<const char*>(text) : "";
  }
  std::optional<std::string> OptionalText(int i) const {
    if (sqlite3_column_type(stmt_, i) == SQLITE_NULL) return std::nullopt;
    return TextAt(i);
  }
  std::optional<double> OptionalReal(int i) const {
    if (sqlite3_column_type(stmt_, i) == SQLITE_NULL) return std::nullopt;
    return sqlite3_column_double(stmt_, i);
  }

private:
  sqlite3_stmt* stmt_ = nullptr;
  int status_ = SQLITE_ERROR;
};

std::string Explain(sqlite3* db) {
  const int code = sqlite3_extended_errcode(db);
  const int primary = code & 0xFF;
  std::string why = sqlite3_errmsg(db);
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
    why = "it is locked by another program (" + why + "); try again when it has finished";
  } else if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
    why = "it is damaged (" + why + "); it is left as it is";
  } else if (primary == SQLITE_FULL) {
    why = "the disk is full (" + why + ")";
  } else if (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM) {
    why = "it cannot be written (" + why + ")";
  }
  return why;
}

bool Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

std::string Iso8601(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[40];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string s = text;
  if (s.size() >= 5) s.insert(s.size() - 2, ":");  // +0100 -> +01:00
  return s;
}

}  // namespace

std::string NowIso8601() { return Iso8601(std::time(nullptr)); }

std::string FileTimeIso8601(const std::filesystem::path& file) {
  struct stat info {};
  if (file.empty() || ::stat(file.c_str(), &info) != 0) return {};
  return Iso8601(info.st_mtime);
}

FileStatus HistoryDb::Failure(const std::string& what) const {
  return FileStatus::Failure(what + " " + QuotedPath(file_) + ": " + Explain(db_));
}

FileStatus HistoryDb::Open(const std::filesystem::path& home, std::unique_ptr<HistoryDb>& db, bool create,
                           double waitSeconds) {
  const std::filesystem::path file = home / std::string(kHistoryFileName);
  std::error_code error;
  if (!create && !std::filesystem::exists(file, error)) {
    return FileStatus::Failure("no measurement history in " + QuotedPath(home) + " (" + std::string(kHistoryFileName) +
                               " is missing)");
  }
  sqlite3* handle = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOFOLLOW;
  const int opened = sqlite3_open_v2(file.c_str(), &handle, flags, nullptr);
  std::unique_ptr<HistoryDb> opening(new HistoryDb(handle, file));
  if (opened != SQLITE_OK) return opening->Failure("Cannot open the measurement history");
  sqlite3_extended_result_codes(handle, 1);
  sqlite3_busy_timeout(handle, static_cast<int>(waitSeconds * 1000));
  // The version first: a file that is no database says so here, before anything is written.
  int version = 0;
  {
    Statement read(handle, "PRAGMA user_version");
    if (!read.Ok() || sqlite3_step(read.get()) != SQLITE_ROW) return opening->Failure("Cannot read the measurement history");
    version = sqlite3_column_int(read.get(), 0);
  }
  if (version > kHistorySchemaVersion) {
    return FileStatus::Failure(QuotedPath(file) + " was written by a newer program (schema " + std::to_string(version) +
                               ", this program knows up to " + std::to_string(kHistorySchemaVersion) +
                               "); it is left as it is");
  }
  if (!Execute(handle, "PRAGMA journal_mode=WAL") || !Execute(handle, "PRAGMA synchronous=FULL")) {
    return opening->Failure("Cannot open the measurement history");
  }
  if (version < kHistorySchemaVersion) {
    if (!Execute(handle, "BEGIN IMMEDIATE")) return opening->Failure("Cannot update the measurement history");
    // Read again inside the transaction: another program may have migrated meanwhile.
    Statement again(handle, "PRAGMA user_version");
    if (!again.Ok() || sqlite3_step(again.get()) != SQLITE_ROW) {
      Execute(handle, "ROLLBACK");
      return opening->Failure("Cannot read the measurement history");
    }
    for (int v = sqlite3_column_int(again.get(), 0); v < kHistorySchemaVersion; ++v) {
      if (!Execute(handle, kMigrations[v]) ||
          !Execute(handle, ("PRAGMA user_version=" + std::to_string(v + 1)).c_str())) {
        FileStatus failed = opening->Failure("Cannot update the measurement history");
        Execute(handle, "ROLLBACK");
        return failed;
      }
    }
    if (!Execute(handle, "COMMIT")) {
      FileStatus failed = opening->Failure("Cannot update the measurement history");
      Execute(handle, "ROLLBACK");
      return failed;
    }
  }
  db = std::move(opening);
  return FileStatus::Success();
}

HistoryDb::~HistoryDb() { sqlite3_close_v2(db_); }

FileStatus HistoryDb::Record(HistoryRecord& r) {
  std::string placeholders;
  for (int i = 0; i < kColumnCount; ++i) placeholders += i ? ", ?" : "?";
  Statement insert(db_, std::string("INSERT INTO measurements (") + kColumns + ") VALUES (" + placeholders + ")");
  if (!insert.Ok()) return Failure("Cannot record the measurement in");
  int i = 0;
  insert.Text(++i, r.time);
  insert.Text(++i, r.purpose);
  insert.Text(++i, r.serial);
  insert.Text(++i, r.calibrationFile);
  insert.Text(++i, r.calibrationTime);
  insert.Real(++i, r.pixelPerInch);
  insert.Real(++i, r.zFactor);
  insert.Text(++i, r.table);
  insert.Text(++i, r.jobId);
  insert.Text(++i, r.material);
  insert.Real(++i, r.level);
  insert.Real(++i, r.fibre);
  for (const std::optional<double>& v : {r.depthMm, r.widthMm, r.radiusMm, r.openDeg, r.alphaVDeg}) insert.Real(++i, v);
  for (const std::string* t : {&r.depthText, &r.widthText, &r.radiusText, &r.openText, &r.units}) insert.Text(++i, *t);
  insert.Integer(++i, r.shape);
  insert.Integer(++i, r.levelOK);
  insert.Text(++i, r.verdict);
  insert.Text(++i, r.depthVerdict);
  insert.Text(++i, r.widthVerdict);
  insert.Real(++i, r.depthU);
  insert.Real(++i, r.widthU);
  insert.Text(++i, r.image);
  if (sqlite3_step(insert.get()) != SQLITE_DONE) return Failure("Cannot record the measurement in");
  r.id = sqlite3_last_insert_rowid(db_);
  return FileStatus::Success();
}

FileStatus HistoryDb::Query(const HistoryFilter& filter, std::vector<HistoryRecord>& records) const {
  std::string sql = std::string("SELECT id, ") + kColumns + " FROM measurements WHERE 1";
  std::vector<std::string> values;
  auto where = [&](const std::optional<std::string>& value, const char* condition) {
    if (!value) return;
    sql += std::string(" AND ") + condition;
    values.push_back(*value);
  };
  where(filter.jobId, "job_id = ? COLLATE NOCASE");
  where(filter.since, "time >= ?");
  where(filter.until, "time <= ?");
  where(filter.serial, "serial = ?");
  where(filter.verdict, "verdict = ?");
  where(filter.purpose, "purpose = ?");
  sql += " ORDER BY time, id";
  Statement select(db_, sql);
  if (!select.Ok()) return Failure("Cannot read the measurement history");
  for (std::size_t k = 0; k < values.size(); ++k) select.Text(static_cast<int>(k + 1), values[k]);
  std::vector<HistoryRecord> read;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
    HistoryRecord r;
    int i = 0;
    r.id = sqlite3_column_int64(select.get(), i++);
    r.time = select.TextAt(i++);
    r.purpose = select.TextAt(i++);
    r.serial = select.TextAt(i++);
    r.calibrationFile = select.TextAt(i++);
    r.calibrationTime = select.TextAt(i++);
    r.pixelPerInch = select.OptionalReal(i++).value_or(0);
    r.zFactor = select.OptionalReal(i++).value_or(0);
    r.table = select.TextAt(i++);
    r.jobId = select.TextAt(i++);
    r.material = select.TextAt(i++);
    r.level = select.OptionalReal(i++).value_or(0);
    r.fibre = select.OptionalReal(i++).value_or(0);
    for (std::optional<double>* v : {&r.depthMm, &r.widthMm, &r.radiusMm, &r.openDeg, &r.alphaVDeg}) *v = select.OptionalReal(i++);
    for (std::string* t : {&r.depthText, &r.widthText, &r.radiusText, &r.openText, &r.units}) *t = select.TextAt(i++);
    r.shape = sqlite3_column_int(select.get(), i++);
    r.levelOK = sqlite3_column_int(select.get(), i++);
    r.verdict = select.OptionalText(i++);
    r.depthVerdict = select.OptionalText(i++);
    r.widthVerdict = select.OptionalText(i++);
    r.depthU = select.OptionalReal(i++);
    r.widthU = select.OptionalReal(i++);
    r.image = select.TextAt(i++);
    read.push_back(std::move(r));
  }
  if (step != SQLITE_DONE) return Failure("Cannot read the measurement history");
  records = std::move(read);
  return FileStatus::Success();
}
