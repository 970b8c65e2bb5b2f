#include "platform/FfmpegAnalyser.h"

#include <gtest/gtest.h>

#include <ebur128.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "EncodedAudio.h"
#include "TaggedAudio.h"
#include "core/analysis/TruePeak.h"
#include "platform/TagLibTagReader.h"
#include "support/FileFaults.h"
#include "support/TempDir.h"
#include "tool/ToolFixture.h"

namespace velvane {
namespace {

namespace fs = std::filesystem;

class FfmpegAnalyserTest : public ::testing::Test {
 protected:
  // Test audio (see EncodedAudio.h) in the test's folder.
  std::string Sine(const std::string& strName, double dSeconds, const std::string& strEffects,
                   int nChannels = 2, int nRate = 44100) {
    EXPECT_EQ(SoxSine(m_dir.Path() / strName, dSeconds, strEffects, nChannels, nRate), "");
    return (m_dir.Path() / strName).string();
  }
  std::string Encoded(const std::string& strName, int nChannels, int nRate, double dSeconds,
                      double dAmplitude) {
    EXPECT_EQ(EncodeSine(m_dir.Path() / strName, nChannels, nRate, dSeconds, dAmplitude), "");
    return (m_dir.Path() / strName).string();
  }
  // The files one after the other, byte for byte: one stream whose format changes part-way.
  std::string Joined(const std::string& strName, const std::vector<std::string>& parts) {
    std::string strBytes;
    for (const std::string& strPart : parts) {
      strBytes += m_dir.Read(fs::path(strPart).filename().string());
    }
    m_dir.Write(strName, strBytes);
    return (m_dir.Path() / strName).string();
  }
  TrackMeasures Measure(const std::string& strPath) {
    TrackMeasures measures;
    std::string strError;
    EXPECT_TRUE(m_analyser.Analyse(strPath, measures, strError)) << strPath << ": " << strError;
    return measures;
  }
  std::string Refusal(const std::string& strPath) {
    TrackMeasures measures;
    std::string strError;
    EXPECT_FALSE(m_analyser.Analyse(strPath, measures, strError)) << strPath;
    EXPECT_EQ(strError.find('\n'), std::string::npos);
    return strError;
  }

  TempDir m_dir;
  FfmpegAnalyser m_analyser;
};

// A stereo 997 Hz sine of peak amplitude A reads 20 log10(A) LUFS (the K-weighting is
// 0 dB there by the offset's definition); its true peak is its amplitude.
TEST_F(FfmpegAnalyserTest, SinesOfKnownLevelReadTheirLoudnessAndPeakAndSilenceIsNotAudible) {
  const TrackMeasures loud = Measure(Sine("loud.wav", 10, "vol 0.5"));
  EXPECT_NEAR(loud.dLoudness, -6.02, 0.5);
  EXPECT_NEAR(loud.dTruePeak, -6.02, 0.2);
  const TrackMeasures quiet = Measure(Sine("quiet.wav", 10, "vol 0.158114"));
  EXPECT_NEAR(loud.dLoudness - quiet.dLoudness, 10.0, 0.1);
  // Mono is heard from both speakers: it reads as the same stereo sine.
  EXPECT_NEAR(Measure(Sine("mono.wav", 10, "vol 0.5", 1)).dLoudness, loud.dLoudness, 0.1);
  // The decks' other formats decode too.
  EXPECT_NEAR(Measure(Sine("loud.mp3", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.5);
  EXPECT_NEAR(Measure(Sine("loud.flac", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.1);
  EXPECT_NEAR(Measure(Sine("loud.ogg", 10, "vol 0.5")).dLoudness, loud.dLoudness, 0.5);

  // Silence before and after the music is not audible.
  // 2 s of silence, 10 s of tone, 5 s of silence.
  const TrackMeasures wav = Measure(Sine("tail.wav", 10, "vol 0.1 pad 2 5"));
  EXPECT_NEAR(wav.nAudibleStart, 2000, 50);
  EXPECT_NEAR(wav.nAudibleEnd, 17000 - 5000, 50);
  // A tone just under -45 dBFS (RMS) is not audible; one just over is.
  const TrackMeasures edge =
      Measure(Sine("edge.wav", 4, "vol 0.0080 pad 0 2 : synth 3 sine 997 vol 0.0075"));
  EXPECT_NEAR(edge.nAudibleEnd, 4000, 50);
  const TrackMeasures mp3 = Measure(Sine("tail.mp3", 10, "vol 0.1 pad 2 5"));
  EXPECT_NEAR(mp3.nAudibleStart, 2000, 100);
  EXPECT_NEAR(mp3.nAudibleEnd, 12000, 100);
}

TEST_F(FfmpegAnalyserTest, FilesThatCannotBeMeasuredSayWhyAndNeverBlock) {
  m_dir.Write("empty.mp3", "");
  fs::create_directory(m_dir.Path() / "folder.mp3");
  MakeFifo(m_dir.Path() / "fifo.mp3");
  const std::string strDir = m_dir.Folder();
  EXPECT_EQ(
      (std::vector<std::string>{Refusal(strDir + "empty.mp3"), Refusal(strDir + "missing.mp3"),
                                Refusal(strDir + "folder.mp3"), Refusal(strDir + "fifo.mp3"),
                                Refusal("/dev/zero"), Refusal(Sine("silent.wav", 3, "vol 0"))}),
      (std::vector<std::string>{"the file is empty", "it does not exist",
                                "it is a folder, not a file", "it is a FIFO, not a file",
                                "it is a device, not a file", "it holds no audible sound"}));
  m_dir.Write("noise.mp3", std::string(20000, '\x5a'));
  EXPECT_NE(Refusal(strDir + "noise.mp3"), "");

  // Cut to half: the header still promises the whole length. (A plain mp3 cut short is only
  // shorter: nothing tells its length, it plays, so it is measured as it plays.)
  const std::string strCut = Sine("cut.flac", 20, "vol 0.5");
  fs::resize_file(strCut, fs::file_size(strCut) / 2);
  EXPECT_EQ(Refusal(strCut).rfind("the file is cut short: its audio stops at 0:", 0), 0u);
  // Cut in its quiet opening, a file is still cut short rather than silent.
  const std::string strQuiet = Sine("quiet-cut.wav", 10, "vol 0.5 pad 8 0");
  fs::resize_file(strQuiet, fs::file_size(strQuiet) / 4);
  EXPECT_EQ(Refusal(strQuiet), "the file is cut short: its audio stops at 0:04 of 0:18");
}

// Streams whose channels or rate change part-way are measured whole, on all their channels.
TEST_F(FfmpegAnalyserTest, AFormatChangePartWayIsMeasuredWholeOrFailsWithAReason) {
  // Stereo then mono: the mono half is heard from both speakers, as loud as the stereo one.
  const TrackMeasures down =
      Measure(Joined("down.mp3", {Sine("a.mp3", 5, "vol 0.5"), Sine("b.mp3", 5, "vol 0.5", 1)}));
  EXPECT_NEAR(down.dLoudness, -6.02, 0.5);
  EXPECT_NEAR(down.nAudibleEnd, 10000, 200);
  // Silent mono, then a tone on the right only: the second channel must not be lost.
  const TrackMeasures up = Measure(
      Joined("up.mp3", {Sine("c.mp3", 5, "vol 0", 1), Sine("d.mp3", 5, "vol 0.5 remix 0 1")}));
  EXPECT_NEAR(up.dLoudness, -9.03, 1.0);  // one channel: 3 dB below both
  EXPECT_NEAR(up.dTruePeak, -6.02, 0.5);
  EXPECT_NEAR(up.nAudibleStart, 5000, 200);
  EXPECT_NEAR(up.nAudibleEnd, 10000, 200);
  // The rate halves: the second half is converted to the first one's rate.
  const TrackMeasures rate = Measure(
      Joined("rate.mp3", {Sine("e.mp3", 5, "vol 0.5"), Sine("f.mp3", 5, "vol 0.5", 2, 22050)}));
  EXPECT_NEAR(rate.dLoudness, -6.02, 0.5);
  EXPECT_NEAR(rate.nAudibleEnd, 10000, 200);
  // AAC from stereo to mono and AC-3 from 5.1 to stereo, as broadcasts change.
  const TrackMeasures aac = Measure(
      Joined("down.aac", {Encoded("g.aac", 2, 48000, 5, 0.5), Encoded("h.aac", 1, 48000, 5, 0.5)}));
  EXPECT_NEAR(aac.dLoudness, -6.02, 0.5);
  EXPECT_NEAR(aac.nAudibleEnd, 10000, 200);
  const TrackMeasures ac3 = Measure(
      Joined("down.ac3", {Encoded("i.ac3", 6, 48000, 5, 0.3), Encoded("j.ac3", 2, 48000, 5, 0.3)}));
  EXPECT_NEAR(ac3.nAudibleEnd, 10000, 200);
  EXPECT_TRUE(std::isfinite(ac3.dLoudness));

  // Where the libraries cannot follow a change (FLAC frames that disagree with the stream
  // header, a chained Ogg whose second link is mono), the file is measured or fails with a
  // reason; it never brings the program down.
  for (const std::string strExt : {"flac", "ogg", "wav"}) {
    const std::string strPath =
        Joined("joined." + strExt,
               {Sine("k." + strExt, 3, "vol 0.5"), Sine("l." + strExt, 3, "vol 0.5", 1, 22050)});
    TrackMeasures measures;
    std::string strError;
    if (m_analyser.Analyse(strPath, measures, strError)) {
      EXPECT_TRUE(std::isfinite(measures.dLoudness)) << strExt;
      EXPECT_GE(measures.nAudibleEnd, 2900) << strExt;
    } else {
      EXPECT_NE(strError, "") << strExt;
    }
  }
}

TEST_F(FfmpegAnalyserTest, SeveralFilesAtOnceGiveTheSameResults) {
  const std::string strPath = Sine("tune.mp3", 20, "vol 0.3 pad 1 1");
  const TrackMeasures alone = Measure(strPath);
  std::vector<TrackMeasures> measured(4);
  {
    std::vector<std::jthread> threads;  // joined at the end of the block
    threads.reserve(measured.size());
    for (TrackMeasures& measures : measured) {
      threads.emplace_back([&] {
        std::string strError;
        m_analyser.Analyse(strPath, measures, strError);
      });
    }
  }
  for (const TrackMeasures& measures : measured) {
    EXPECT_DOUBLE_EQ(measures.dLoudness, alone.dLoudness);
    EXPECT_EQ(measures.nAudibleEnd, alone.nAudibleEnd);
  }
}

// Our true peak against libebur128's own true-peak mode on signals whose peaks fall between
// the samples.
struct Signal {
  std::string strName;
  int nChannels;
  int nRate;
  std::function<double(std::int64_t nFrame, int nChannel)> sample;
};

double Sine(double dHz, int nRate, std::int64_t nFrame, double dPhase = 0.0) {
  return std::sin(2.0 * std::numbers::pi * dHz * static_cast<double>(nFrame) / nRate + dPhase);
}

double Decibels(double dLinear) {
  return 20.0 * std::log10(dLinear);
}

// The interleaved signal, 3 s of it.
std::vector<float> Frames(const Signal& signal) {
  const std::int64_t nFrames = std::int64_t{3} * signal.nRate;
  std::vector<float> samples;
  for (std::int64_t f = 0; f < nFrames; ++f) {
    for (int c = 0; c < signal.nChannels; ++c) {
      samples.push_back(static_cast<float>(signal.sample(f, c)));
    }
  }
  return samples;
}

struct MeterFreer {
  void operator()(ebur128_state* p) const { ebur128_destroy(&p); }
};

TEST(TruePeakTest, IntersamplePeaksMatchLibebur128WithinATenthOfADecibel) {
  const double kQuarter = std::numbers::pi / 4.0;
  const std::vector<Signal> signals = {
      // Samples at +-0.354 of a 0.5 sine: the peak is 3 dB over every sample.
      {"fs/4 at 45 degrees", 2, 44100,
       [=](std::int64_t f, int) { return 0.5 * Sine(11025.0, 44100, f, kQuarter); }},
      {"clipped square", 2, 48000,
       [](std::int64_t f, int c) {
         return std::clamp(1.5 * Sine(441.0 + c * 50, 48000, f), -0.9, 0.9);
       }},
      {"near Nyquist, mono", 1, 44100,
       [](std::int64_t f, int) { return 0.7 * Sine(20000.0, 44100, f); }},
      {"5.1", 6, 48000,
       [=](std::int64_t f, int c) {
         return 0.2 * (c + 1) * Sine(12000.0 - 997 * c, 48000, f, kQuarter);
       }},
      // A loud second whose peaks fall on samples, then a louder sine whose samples are all
      // lower: the blocks that cannot pass the peak so far are skipped, these must not be.
      {"hidden later", 2, 44100,
       [=](std::int64_t f, int) {
         return f < 44100 ? 0.8 * Sine(11025.0, 44100, f) : 0.9 * Sine(11025.0, 44100, f, kQuarter);
       }},
      {"96 kHz", 2, 96000,
       [=](std::int64_t f, int) { return 0.6 * Sine(24000.0, 96000, f, kQuarter); }},
      {"192 kHz", 2, 192000, [](std::int64_t f, int) { return 0.6 * Sine(41000.0, 192000, f); }},
  };
  for (const Signal& signal : signals) {
    const std::vector<float> samples = Frames(signal);
    const std::size_t nFrames = samples.size() / static_cast<std::size_t>(signal.nChannels);
    std::unique_ptr<ebur128_state, MeterFreer> reference(
        ebur128_init(static_cast<unsigned>(signal.nChannels),
                     static_cast<unsigned long>(signal.nRate), EBUR128_MODE_TRUE_PEAK));
    ASSERT_TRUE(reference);
    ebur128_add_frames_float(reference.get(), samples.data(), nFrames);
    // Uneven pieces, so that the history carried across blocks is used at every offset.
    TruePeakMeter meter(signal.nChannels, signal.nRate);
    for (std::size_t nDone = 0, nPiece = 1; nDone < nFrames; nDone += nPiece, nPiece += 397) {
      nPiece = std::min(nPiece, nFrames - nDone);
      meter.Add(samples.data() + nDone * static_cast<std::size_t>(signal.nChannels), nPiece);
    }
    for (int c = 0; c < signal.nChannels; ++c) {
      double dExpected = 0.0;
      ASSERT_EQ(ebur128_true_peak(reference.get(), static_cast<unsigned>(c), &dExpected), 0);
      EXPECT_NEAR(Decibels(meter.Peak(c)), Decibels(dExpected), 0.1)
          << signal.strName << ", channel " << c;
    }
  }
}

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

// import-library over files tagged by TagLib, read back through the program's tag reader.
class LibraryImportTagsTest : public ToolFixture {
 protected:
  LibraryImportTagsTest() {
    UseTempFolders();
    m_context.pTags = &m_tags;
  }

  TempDir m_src;
  TagLibTagReader m_tags;
};

TEST_F(LibraryImportTagsTest, OrdersByDiscAndTrackTagsAndFallsBackToTheName) {
  const fs::path album = m_src.Path() / "Band" / "Live";
  fs::create_directories(album);
  ASSERT_EQ(SoxSine(album / "c.flac", 0.05, ""), "");
  const struct {
    const char* pszName;
    const char* pszTitle;
    int nDisc;
    int nTrack;
  } files[] = {
      {"a.wav", "Encore", 2, 1},
      {"b.wav", "Opener", 1, 1},
      {"c.flac", "Second \xE2\x99\xAB", 1, 2},
  };
  for (const auto& file : files) {
    if (std::string_view(file.pszName).ends_with(".wav")) {
      ASSERT_TRUE(WriteSineWav((album / file.pszName).string(), 0.02, 440, 0.5));
    }
    ASSERT_TRUE(
        WriteTags(album / file.pszName, "The Band", file.pszTitle, file.nDisc, file.nTrack));
  }
  ASSERT_TRUE(WriteSineWav((album / "09 - Name Band - Name Song.wav").string(), 0.02, 440, 0.5));
  const std::string strFlac = m_src.Read("Band/Live/c.flac");

  ASSERT_EQ(Run({"import-library", m_src.Folder()}), 0) << m_err.str();
  const std::string strLive = m_src.Folder() + "Band/Live/";
  EXPECT_EQ(m_out.str(),
            "001\t01\tName Band\tName Song\t" + strLive + "09 - Name Band - Name Song.wav\n" +
                "001\t02\tThe Band\tOpener\t" + strLive + "b.wav\n" +
                "001\t03\tThe Band\tSecond \xE2\x99\xAB\t" + strLive + "c.flac\n" +
                "001\t04\tThe Band\tEncore\t" + strLive + "a.wav\n" +
                "Imported 4 tracks on 1 CD (CD 001); 0 already imported; 0 not importable\n");
  EXPECT_EQ(m_music.Read("001/03 - The Band - Second \xE2\x99\xAB.flac"), strFlac);
  EXPECT_EQ(m_src.Read("Band/Live/c.flac"), strFlac);  // the source as it was
  FileTags tags;
  ASSERT_TRUE(m_tags.ReadTags(m_music.Folder() + "001/04 - The Band - Encore.wav", tags));
  EXPECT_EQ(tags.nDisc, 2);
  EXPECT_EQ(tags.nTrack, 1);
}

}  // namespace
}  // namespace velvane
