#include "imaging/parallel_rows.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

int CoreCount() {
  static const int cores = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 8);
  return cores;
}

}  // namespace

int ParallelBlockCount(int begin, int end, int minRowsPerBlock) {
  const int rows = end - begin;
  if (rows <= 0) return 0;
  const int byWork = rows / std::max(minRowsPerBlock, 1);
  return std::clamp(byWork, 1, CoreCount());
}

void ParallelBlocks(int begin, int end, const std::function<void(int, int, int)>& body, int minRowsPerBlock) {
  const int blocks = ParallelBlockCount(begin, end, minRowsPerBlock);
  if (blocks == 0) return;
  const int rows = end - begin;
  auto blockStart = [&](int i) { return begin + static_cast<int>(static_cast<long long>(rows) * i / blocks); };
  std::vector<std::thread> helpers;
  helpers.reserve(blocks - 1);
  for (int i = 1; i < blocks; ++i) {
    helpers.emplace_back(body, i, blockStart(i), blockStart(i + 1));
  }
  body(0, blockStart(0), blockStart(1));
  for (auto& helper : helpers) helper.join();
}

void ParallelRows(int begin, int end, const std::function<void(int, int)>& body, int minRowsPerBlock) {
  ParallelBlocks(
      begin, end, [&body](int, int first, int last) { body(first, last); }, minRowsPerBlock);
}
