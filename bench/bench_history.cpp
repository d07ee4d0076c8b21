// The measurement history: recording one measurement (without its image)
// beside one plain INSERT of the same row into the same kind of database; a
// job filter and a CSV export over 100 000 measurements.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "history/history.h"
#include "history/history_export.h"

namespace {

std::filesystem::path Folder(const char* name) {
  const auto folder = std::filesystem::temp_directory_path() / (std::string(name) + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  return folder;
}

HistoryRecord Row(int i) {
  HistoryRecord r;
  r.time = "2026-12-11T10:" + std::to_string(10 + i % 50) + ":00+01:00";
  r.serial = "00042";
  r.jobId = "JOB-" + std::to_string(i % 100);
  r.material = "Steel";
  r.pixelPerInch = 3573;
  r.zFactor = 1.0472;
  r.table = "0:0;14.2:-0.14;56.8:-0.56;85:-0.56;113.1:-0.56;0:0";
  r.depthMm = 0.52 + (i % 7) * 0.001;
  r.widthMm = 1.393;
  r.openDeg = 13.4;
  r.depthText = "0.521";
  r.widthText = "1.393";
  r.openText = "13\u00b0";
  r.units = "mm";
  r.verdict = r.depthVerdict = r.widthVerdict = "OK";
  r.depthU = 0.019;
  r.widthU = 0.011;
  return r;
}

void RecordMeasurement(benchmark::State& state) {
  const auto home = Folder("vqx_bench_history_");
  std::unique_ptr<HistoryDb> db;
  if (!HistoryDb::Open(home, db).ok) state.SkipWithError("cannot open");
  HistoryRecord record = Row(1);
  for (auto _ : state) {
    if (!db->Record(record).ok) state.SkipWithError("cannot record");
  }
  db.reset();
  std::filesystem::remove_all(home);
}

// The same row by hand: one prepared INSERT of 30 values, WAL, synchronous commits.
void PlainInsert(benchmark::State& state) {
  const auto home = Folder("vqx_bench_insert_");
  sqlite3* db = nullptr;
  sqlite3_open((home / "plain.sqlite").c_str(), &db);
  sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; CREATE TABLE m (a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z,aa,bb,cc,dd)",
               nullptr, nullptr, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO m VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &stmt, nullptr);
    for (int i = 1; i <= 30; ++i) sqlite3_bind_double(stmt, i, 0.521 * i);
    if (sqlite3_step(stmt) != SQLITE_DONE) state.SkipWithError("cannot insert");
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  std::filesystem::remove_all(home);
}

// A history of 100 000 measurements, made once (filled in one transaction
// through a second connection) and removed at the end.
struct LargeHistoryFolder {
  LargeHistoryFolder() : folder(Folder("vqx_bench_large_")) {
    std::unique_ptr<HistoryDb> db;
    HistoryDb::Open(folder, db);
    db.reset();
    sqlite3* raw = nullptr;
    sqlite3_open((folder / std::string(kHistoryFileName)).c_str(), &raw);
    sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw,
                       "INSERT INTO measurements (time, purpose, serial, job_id, material, pixel_per_inch, z_factor, "
                       "lut, depth_mm, width_mm, depth_text, width_text, units, verdict, depth_u, width_u) "
                       "VALUES (?, 'measurement', '00042', ?, 'Steel', 3573, 1.0472, ?, ?, 1.393, '0.521', '1.393', "
                       "'mm', 'OK', 0.019, 0.011)",
                       -1, &stmt, nullptr);
    for (int i = 0; i < 100000; ++i) {
      const HistoryRecord r = Row(i);
      sqlite3_bind_text(stmt, 1, r.time.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(stmt, 2, r.jobId.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(stmt, 3, r.table.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(stmt, 4, *r.depthMm);
      sqlite3_step(stmt);
      sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
  }
  ~LargeHistoryFolder() { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
};

const std::filesystem::path& LargeHistory() {
  static const LargeHistoryFolder large;
  return large.folder;
}

void QueryOneJobOf100000(benchmark::State& state) {
  std::unique_ptr<HistoryDb> db;
  if (!HistoryDb::Open(LargeHistory(), db).ok) state.SkipWithError("cannot open");
  for (auto _ : state) {
    std::vector<HistoryRecord> records;
    if (!db->Query({.jobId = "JOB-7"}, records).ok || records.size() != 1000) state.SkipWithError("wrong count");
  }
}

void ReadAll100000(benchmark::State& state) {
  std::unique_ptr<HistoryDb> db;
  if (!HistoryDb::Open(LargeHistory(), db).ok) state.SkipWithError("cannot open");
  for (auto _ : state) {
    std::vector<HistoryRecord> records;
    if (!db->Query({}, records).ok || records.size() != 100000) state.SkipWithError("wrong count");
  }
}

void CsvExport100000(benchmark::State& state) {
  std::unique_ptr<HistoryDb> db;
  std::vector<HistoryRecord> records;
  if (!HistoryDb::Open(LargeHistory(), db).ok || !db->Query({}, records).ok) state.SkipWithError("cannot read");
  for (auto _ : state) benchmark::DoNotOptimize(HistoryCsv(records).size());
}

}  // namespace

BENCHMARK(RecordMeasurement)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(PlainInsert)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(QueryOneJobOf100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(ReadAll100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(CsvExport100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
