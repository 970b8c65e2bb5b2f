#pragma once

// A generated library for the editor benchmarks: artists and titles made of a few syllables,
// so that they differ the way real ones do and only some are near enough to be asked about.
#include <string>

#include "core/db/TrackStore.h"

namespace velvane {

inline std::string BenchName(int n, int nWords) {
  static const char* const kSyllables[] = {"ka", "lo", "mi",  "ren", "do", "sa",  "vi", "ta",
                                           "ne", "ro", "bel", "zu",  "fa", "qui", "po", "ly"};
  std::string strName;
  for (int w = 0; w < nWords; ++w) {
    if (w > 0) {
      strName += ' ';
    }
    for (int s = 0; s < 3; ++s) {
      strName += kSyllables[n % 16];
      n = n / 16 + 7 * (w + s);
    }
  }
  return strName;
}

// `nRecords` playlist records and as many chart entries; every third record is linked to the
// chart entry of the same index, and back.
inline void FillBenchLibrary(TrackStore& store, int nRecords) {
  store.Allocate(nRecords, nRecords);
  for (int i = 0; i < nRecords; ++i) {
    const int nLink = i % 3 == 0 ? i : -1;
    store.SetPlaylistEntry(i,
                           {BenchName(i * 7, 2), BenchName(i * 13 + 5, 3),
                            std::to_string(i / 99 % 1000), std::to_string(i % 99 + 1), nLink},
                           nRecords);
    store.SetChartEntry(i,
                        {"05/03/19" + std::to_string(50 + i % 50), BenchName(i * 7, 2),
                         BenchName(i * 13 + 5, 3), std::to_string(i % 40 + 1), nLink},
                        nRecords);
  }
  store.SetPlaylistCount(nRecords);
  store.SetChartCount(nRecords);
}

}  // namespace velvane
