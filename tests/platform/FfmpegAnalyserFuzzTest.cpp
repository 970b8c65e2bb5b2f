#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "EncodedAudio.h"
#include "platform/FfmpegAnalyser.h"
#include "support/TempDir.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

// Damaged music files of every format the decks play: the analyser must never crash or hang
// on them, and must either measure the file or say why not. The mutations are seeded, so a
// failure can be found again: VELVANE_FUZZ_COUNT sets how many files are tried (a few
// hundred by default, thousands for a long run) and VELVANE_FUZZ_SEED where the seeds start.

int EnvironmentNumber(const char* pszName, int nDefault) {
  const char* pszValue = std::getenv(pszName);
  return pszValue != nullptr && std::atoi(pszValue) > 0 ? std::atoi(pszValue) : nDefault;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One undamaged file of each format, made once for all the mutations.
class FuzzSeeds {
 public:
  FuzzSeeds() {
    for (const char* pszExt : {"wav", "mp3", "flac", "ogg"}) {
      std::string strBytes = Sox(pszExt, 2);
      // The mp3 turns mono part-way, so the mutations meet a format change too.
      if (std::string(pszExt) == "mp3" && !strBytes.empty()) {
        strBytes += Sox(pszExt, 1);
      }
      if (!strBytes.empty()) {
        m_seeds.push_back({pszExt, strBytes});
      }
    }
    const fs::path m4a = m_dir.Path() / "seed.m4a";
    if (EncodeSine(m4a, 2, 44100, 1.5, 0.4).empty()) {
      m_seeds.push_back({"m4a", ReadAll(m4a)});
    }
  }
  struct Seed {
    std::string strExt;
    std::string strBytes;
  };
  const std::vector<Seed>& All() const { return m_seeds; }

 private:
  // 1.5 s of tone with quiet edges; empty when sox cannot make it.
  std::string Sox(const std::string& strExt, int nChannels) const {
    const fs::path path = m_dir.Path() / ("seed" + std::to_string(nChannels) + "." + strExt);
    const std::string strCommand = "sox -D -n -r 44100 -b 16 -c " + std::to_string(nChannels) +
                                   " '" + path.string() +
                                   "' synth 1.5 sine 997 vol 0.4 pad 0.2 0.2 2>/dev/null";
    return std::system(strCommand.c_str()) == 0 ? ReadAll(path) : std::string();
  }

  TempDir m_dir;
  std::vector<Seed> m_seeds;
};

// Damages `strBytes` one or more times; returns what was done, for the failure message.
std::string Mutate(std::string& strBytes, const std::vector<FuzzSeeds::Seed>& seeds,
                   std::mt19937& random) {
  const auto Below = [&random](std::size_t nLimit) {
    return nLimit == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, nLimit - 1)(random);
  };
  // Headers hold what the decoders trust most, so half the damage goes to the first 4 KB.
  const auto Where = [&](std::size_t nSize) {
    return Below(2) == 0 ? Below(std::min<std::size_t>(nSize, 4096)) : Below(nSize);
  };
  std::string strDone;
  const std::size_t nSteps = 1 + Below(3);
  for (std::size_t s = 0; s < nSteps && !strBytes.empty(); ++s) {
    switch (Below(6)) {
      case 0: {
        const std::size_t nFlips = 1 + Below(16);
        for (std::size_t f = 0; f < nFlips; ++f) {
          strBytes[Where(strBytes.size())] ^= static_cast<char>(1u << Below(8));
        }
        strDone += " flip" + std::to_string(nFlips);
        break;
      }
      case 1: {
        const std::size_t nKeep = Where(strBytes.size());
        strBytes.resize(nKeep);
        strDone += " cut@" + std::to_string(nKeep);
        break;
      }
      case 2: {
        std::string strNew(1 + Below(64), '\0');
        for (char& c : strNew) {
          c = static_cast<char>(Below(256));
        }
        const std::size_t nAt = Where(strBytes.size());
        strBytes.insert(nAt, strNew);
        strDone += " insert" + std::to_string(strNew.size()) + "@" + std::to_string(nAt);
        break;
      }
      case 3: {
        // Another file's head on this one's body: a container that promises the wrong codec.
        const std::string& strOther = seeds[Below(seeds.size())].strBytes;
        const std::size_t nHead = Below(std::min<std::size_t>(strOther.size(), 8192));
        const std::size_t nFrom = Where(strBytes.size());
        strBytes = strOther.substr(0, nHead) + strBytes.substr(nFrom);
        strDone += " splice" + std::to_string(nHead) + "+" + std::to_string(nFrom);
        break;
      }
      case 4: {
        const std::size_t nAt = Where(strBytes.size());
        const std::size_t nLength = std::min(strBytes.size() - nAt, 1 + Below(512));
        const char fill =
            std::array<char, 3>{'\0', '\xff', static_cast<char>(Below(256))}[Below(3)];
        strBytes.replace(nAt, nLength, nLength, fill);
        strDone += " fill" + std::to_string(nLength) + "@" + std::to_string(nAt);
        break;
      }
      default: {
        // A stretch repeated elsewhere: headers and frames where the stream does not expect them.
        const std::size_t nFrom = Where(strBytes.size());
        const std::string strChunk = strBytes.substr(nFrom, 1 + Below(4096));
        const std::size_t nAt = Below(strBytes.size());
        strBytes.insert(nAt, strChunk);
        strDone += " repeat" + std::to_string(strChunk.size()) + "@" + std::to_string(nAt);
        break;
      }
    }
  }
  return strDone;
}

TEST(FfmpegAnalyserFuzzTest, DamagedFilesAreMeasuredOrRefusedWithAReason) {
  FfmpegAnalyser analyser;  // first: it quiets the libraries' messages, the encoder's too
  const FuzzSeeds seeds;
  ASSERT_EQ(seeds.All().size(), 5u) << "sox (with mp3 support) or the m4a encoder is missing";
  const int nCount = EnvironmentNumber("VELVANE_FUZZ_COUNT", 300);
  const int nFirstSeed = EnvironmentNumber("VELVANE_FUZZ_SEED", 1);
  TempDir dir;
  int nMeasured = 0;
  for (int i = 0; i < nCount; ++i) {
    const unsigned nSeed = static_cast<unsigned>(nFirstSeed + i);
    std::mt19937 random(nSeed);
    const FuzzSeeds::Seed& seed = seeds.All()[nSeed % seeds.All().size()];
    std::string strBytes = seed.strBytes;
    const std::string strDone = Mutate(strBytes, seeds.All(), random);
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
