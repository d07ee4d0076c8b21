#include "imaging/cpu_features.h"

#include <atomic>

namespace pixel {

namespace {

std::atomic<bool> allowed{true};

#if defined(__x86_64__) || defined(__i386__)
bool ProcessorHas(const char* feature) {
  if (feature[0] == 'a') return __builtin_cpu_supports("avx2");
  return __builtin_cpu_supports("ssse3");
}
#else
bool ProcessorHas(const char*) { return false; }
#endif

}  // namespace

bool UseAvx2() {
  static const bool present = ProcessorHas("avx2");
  return present && allowed.load(std::memory_order_relaxed);
}

bool UseSsse3() {
  static const bool present = ProcessorHas("ssse3");
  return present && allowed.load(std::memory_order_relaxed);
}

void AllowVectorExtensions(bool allow) { allowed.store(allow, std::memory_order_relaxed); }

}  // namespace pixel
