#pragma once

// Workload sizes that shrink for the smoke run: with VELVANE_BENCH_SMOKE set, CI runs every
// benchmark once on a tiny workload to catch one that no longer builds, runs or finishes.
#include <algorithm>
#include <cstdlib>

namespace velvane {

inline bool BenchSmoke() {
  return std::getenv("VELVANE_BENCH_SMOKE") != nullptr;
}

// `n` itself, or at most 1,000 in a smoke run.
inline int BenchSize(int n) {
  return BenchSmoke() ? std::min(n, 1000) : n;
}

}  // namespace velvane
