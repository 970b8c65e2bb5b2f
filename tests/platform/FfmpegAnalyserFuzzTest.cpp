#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "EncodedAudio.h"
#include "platform/FfmpegAnalyser.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

// Damaged music files of every format the decks play: the analyser must never crash or hang
// on them, and must either measure the file or say why not. The mutations are seeded, so a
// failure can be found again: VELVANE_FUZZ_COUNT sets how many files are tried (a few
// hundred by default, thousands for a long run) and VELVANE_FUZZ_SEED where the seeds start.

int EnvironmentNumber(const char* pszName, int nDefault) {
  const char* pszValue = std::getenv(pszName);
  return pszValue != nullptr && std::atoi(pszValue) > 0 ? std::atoi(pszValue) : nDefault;
}

struct Seed {
  std::string strExt;
  std::string strBytes;
};

// One undamaged file of each format (1.5 s of tone with quiet edges) for all the mutations.
// The mp3 turns mono part-way, so the mutations meet a format change too.
std::vector<Seed> MakeSeeds(const TempDir& dir) {
  std::vector<Seed> seeds;
  const char* pszSound = "vol 0.4 pad 0.2 0.2";
  for (const std::string strExt : {"wav", "mp3", "flac", "ogg"}) {
    if (SoxSine(dir.Path() / ("seed." + strExt), 1.5, pszSound).empty() &&
        (strExt != "mp3" || SoxSine(dir.Path() / "mono.mp3", 1.5, pszSound, 1).empty())) {
      seeds.push_back(
          {strExt, dir.Read("seed." + strExt) + (strExt == "mp3" ? dir.Read("mono.mp3") : "")});
    }
  }
  if (EncodeSine(dir.Path() / "seed.m4a", 2, 44100, 1.5, 0.4).empty()) {
    seeds.push_back({"m4a", dir.Read("seed.m4a")});
  }
  return seeds;
}

// Damages `strBytes` one to three times; returns what was done, for the failure message.
std::string Mutate(std::string& strBytes, const std::vector<Seed>& seeds, std::mt19937& random) {
  const auto Below = [&random](std::size_t nLimit) {
    return nLimit == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, nLimit - 1)(random);
  };
  // Headers hold what the decoders trust most, so half the damage goes to the first 4 KB.
  const auto Where = [&](std::size_t nSize) {
    return Below(2) == 0 ? Below(std::min<std::size_t>(nSize, 4096)) : Below(nSize);
  };
  static constexpr std::array<const char*, 6> kKinds = {"flip",   "cut",  "insert",
                                                        "splice", "fill", "repeat"};
  std::string strDone;
  for (std::size_t nSteps = 1 + Below(3); nSteps > 0 && !strBytes.empty(); --nSteps) {
    const std::size_t nKind = Below(kKinds.size());
    const std::size_t nAt = Where(strBytes.size());
    strDone += std::string(" ") + kKinds[nKind] + "@" + std::to_string(nAt);
    switch (nKind) {
      case 0:
        for (std::size_t nFlips = 1 + Below(16); nFlips > 0; --nFlips) {
          strBytes[Where(strBytes.size())] ^= static_cast<char>(1u << Below(8));
        }
        break;
      case 1:
        strBytes.resize(nAt);
        break;
      case 2: {
        std::string strNew(1 + Below(64), '\0');
        for (char& c : strNew) {
          c = static_cast<char>(Below(256));
        }
        strBytes.insert(nAt, strNew);
        break;
      }
      case 3: {
        // Another file's head on this one's body: a container that promises the wrong codec.
        const std::string& strOther = seeds[Below(seeds.size())].strBytes;
        const std::size_t nHead = Below(std::min<std::size_t>(strOther.size(), 8192));
        strBytes = strOther.substr(0, nHead) + strBytes.substr(nAt);
        break;
      }
      case 4: {
        const std::size_t nLength = std::min(strBytes.size() - nAt, 1 + Below(512));
        const char fill =
            std::array<char, 3>{'\0', '\xff', static_cast<char>(Below(256))}[Below(3)];
        strBytes.replace(nAt, nLength, nLength, fill);
        break;
      }
      default: {
        // A stretch repeated elsewhere: headers and frames where the stream does not expect them.
        const std::string strChunk = strBytes.substr(nAt, 1 + Below(4096));
        strBytes.insert(Below(strBytes.size()), strChunk);
        break;
      }
    }
  }
  return strDone;
}

TEST(FfmpegAnalyserFuzzTest, DamagedFilesAreMeasuredOrRefusedWithAReason) {
  FfmpegAnalyser analyser;  // first: it quiets the libraries' messages
  TempDir dir;
  const std::vector<Seed> seeds = MakeSeeds(dir);
  ASSERT_EQ(seeds.size(), 5u) << "sox (with mp3 support) or the m4a encoder is missing";
  const int nCount = EnvironmentNumber("VELVANE_FUZZ_COUNT", 300);
  const int nFirstSeed = EnvironmentNumber("VELVANE_FUZZ_SEED", 1);
  int nMeasured = 0;
  for (int i = 0; i < nCount; ++i) {
    const unsigned nSeed = static_cast<unsigned>(nFirstSeed + i);
    std::mt19937 random(nSeed);
    const Seed& seed = seeds[nSeed % seeds.size()];
    std::string strBytes = seed.strBytes;
    const std::string strDone = Mutate(strBytes, seeds, random);
    const std::string strName = "fuzz." + seed.strExt;
    dir.Write(strName, strBytes);

    TrackMeasures measures;
    std::string strError;
    const bool bOk = analyser.Analyse((dir.Path() / strName).string(), measures, strError);
    const std::string strCase = "seed " + std::to_string(nSeed) + " " + seed.strExt + ":" + strDone;
    if (bOk) {
      ++nMeasured;
      EXPECT_TRUE(std::isfinite(measures.dLoudness) && std::isfinite(measures.dTruePeak))
          << strCase;
      EXPECT_LE(0, measures.nAudibleStart) << strCase;
      EXPECT_LT(measures.nAudibleStart, measures.nAudibleEnd) << strCase;
    } else {
      EXPECT_NE(strError, "") << strCase;
      EXPECT_EQ(strError.find_first_of("\r\n"), std::string::npos) << strCase;
    }
  }
  // Most damage is survivable: a test that refuses everything proves nothing.
  EXPECT_GT(nMeasured, nCount / 10);
  RecordProperty("measured", nMeasured);
}

}  // namespace
}  // namespace velvane
