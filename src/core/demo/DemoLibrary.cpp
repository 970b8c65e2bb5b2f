#include "core/demo/DemoLibrary.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "core/analysis/LibraryAnalysis.h"
#include "core/db/LineCodec.h"
#include "core/db/MusicFile.h"
#include "core/db/NativeFile.h"
#include "core/db/Paths.h"
#include "core/db/Records.h"
#include "core/db/SafeSave.h"
#include "core/demo/WavWriter.h"

namespace velvane {

namespace {

// Small files: the tunes and their overtone stay below 2 kHz, far under the 5.5 kHz this rate
// can hold.
constexpr int kSampleRate = 11025;
constexpr double kAmplitude = 0.3;
// Beats the last note is held for, so each tune ends on a settled tonic.
constexpr int kClosingBeats = 6;

enum class Scale { kMajor, kMinor };

// One tune of the library. The phrase has one character per beat: '1' to '9' are the degrees
// of the scale upwards from the root ('8' the octave, '9' the ninth), '-' holds the note
// before, '.' is a rest. The phrase is played nRepeats times, then the root is held. Levels
// and silent tails differ, as in a real library, so that even loudness and the change at the
// end of the music can be heard.
struct DemoTune {
  int nCD;
  int nTrack;
  const char* pszArtist;
  const char* pszTitle;
  Scale scale;
  double dRootHz;
  double dBeatSeconds;
  int nRepeats;
  const char* pszPhrase;
  double dLevelDb = 0.0;      // against the usual level
  double dTailSeconds = 0.0;  // silence after the last note
};

// Playlist order. Each tune lasts 14 to 20 seconds: long enough for Auto Play to arm, short
// enough that it changes tracks within the first minute.
constexpr std::array kTunes{
    DemoTune{1, 1, "The Velvet Lanes", "Sunrise Boulevard", Scale::kMajor, 392.00, 0.22, 2,
             "1-3-5-8-6-5-3---4-6-5-3-2-1---"},
    DemoTune{1, 2, "Marla Quinn", "Neon Harbour", Scale::kMajor, 349.23, 0.25, 2,
             "5-5-6-5-3---1-2-3-3-2-1-2-----", -14.0},  // mastered very quietly
    DemoTune{1, 3, "Disco Lighthouse", "Midnight Carousel", Scale::kMinor, 329.63, 0.20, 3,
             "1.3.5.3.4.6.8-6-5.3.2.4.3-1---", 6.0},  // loud
    DemoTune{1, 4, "The Velvet Lanes", "Turntable Heart", Scale::kMajor, 293.66, 0.24, 2,
             "3-4-5---5-6-5-4-3-2-3-1-------", 0.0, 8.0},  // a long silent tail
    DemoTune{2, 1, "Orbit Sisters", "Satellite Sweetheart", Scale::kMajor, 329.63, 0.19, 3,
             "8-7-6-5-6-5-4-3-2-3-4-2-1-----"},
    DemoTune{2, 2, "Johnny Comet & The Tailfins", "Jukebox Rocket", Scale::kMajor, 261.63, 0.20, 2,
             "1.1.3.5.6.5.3.1.2.2.4.6.5---1.5.3.1---"},
    DemoTune{2, 3, "Marla Quinn", "Silver Raincoat", Scale::kMinor, 293.66, 0.28, 2,
             "5---3-2-1---2-3-5-6-5---3-1---"},
    DemoTune{2, 4, "Polka Dot Parade", "Saturday Mirrorball", Scale::kMajor, 349.23, 0.20, 3,
             "1-3-5-3-6-5-4-2-5-4-3-2-1-----"},
    DemoTune{3, 1, "Harbour Lights Orchestra", "Seaside Waltz", Scale::kMajor, 261.63, 0.26, 2,
             "1--3--5--8-----6--5--3--2-----"},
    DemoTune{3, 2, "Orbit Sisters", "Moonbeam Telephone", Scale::kMinor, 392.00, 0.23, 2,
             "5-8-7-5-6-4-5---3-4-5-2-3-1---"},
    DemoTune{3, 3, "The Copper Vanes", "Weathervane Shuffle", Scale::kMajor, 311.13, 0.19, 3,
             "1.2.3-5.3-1.2.3.5.6-5-3.2.1---"},
};

// Songs that charted but are not in the library.
struct ChartOnlySong {
  const char* pszArtist;
  const char* pszTitle;
};

constexpr std::array kChartOnlySongs{
    ChartOnlySong{"Dana Fairweather", "Postcard From Nowhere"},
    ChartOnlySong{"The Hi-Fi Gentlemen", "Cassette Summer"},
    ChartOnlySong{"Rita Kestrel", "Kaleidoscope Kiss"},
    ChartOnlySong{"The Hi-Fi Gentlemen", "Stereo Goodbye"},
};

// The chart history in date order; a song is named by its title. Every position 1 is also a
// number one from that date on.
struct ChartPlacing {
  const char* pszDate;
  int nPosition;
  const char* pszTitle;
};

constexpr std::array kChartHistory{
    ChartPlacing{"14/06/1975", 12, "Sunrise Boulevard"},
    ChartPlacing{"21/06/1975", 3, "Sunrise Boulevard"},
    ChartPlacing{"28/06/1975", 1, "Sunrise Boulevard"},
    ChartPlacing{"06/03/1976", 1, "Postcard From Nowhere"},
    ChartPlacing{"13/03/1976", 4, "Postcard From Nowhere"},
    ChartPlacing{"08/10/1977", 7, "Neon Harbour"},
    ChartPlacing{"15/10/1977", 2, "Neon Harbour"},
    ChartPlacing{"22/04/1978", 1, "Midnight Carousel"},
    ChartPlacing{"17/02/1979", 24, "Turntable Heart"},
    ChartPlacing{"19/07/1980", 1, "Cassette Summer"},
    ChartPlacing{"11/07/1981", 9, "Satellite Sweetheart"},
    ChartPlacing{"18/07/1981", 5, "Satellite Sweetheart"},
    ChartPlacing{"03/04/1982", 1, "Jukebox Rocket"},
    ChartPlacing{"10/04/1982", 2, "Jukebox Rocket"},
    ChartPlacing{"27/08/1983", 15, "Silver Raincoat"},
    ChartPlacing{"12/05/1984", 1, "Kaleidoscope Kiss"},
    ChartPlacing{"26/01/1985", 38, "Saturday Mirrorball"},
    ChartPlacing{"02/02/1985", 21, "Saturday Mirrorball"},
    ChartPlacing{"14/11/1987", 33, "Moonbeam Telephone"},
    ChartPlacing{"23/09/1989", 6, "Stereo Goodbye"},
};

std::string ZeroPadded(int nValue, int nDigits) {
  std::array<char, 16> buffer{};
  std::snprintf(buffer.data(), buffer.size(), "%0*d", nDigits, nValue);
  return buffer.data();
}

std::string CDFolder(const std::string& strMusicDir, int nCD) {
  return strMusicDir + ZeroPadded(nCD, 3) + kPathSeparator;
}

// Whether the CD folder holds a file that the player would take for this track, whatever its
// full name: the operator may have put a file of their own there.
bool HasTrackFile(const std::string& strFolder, int nTrack) {
  return FirstStartingWith(FolderNames(strFolder, true), ZeroPadded(nTrack, 2)) != nullptr;
}

std::vector<MelodyNote> TuneNotes(const DemoTune& tune) {
  static constexpr std::array<int, 9> kMajorSteps{0, 2, 4, 5, 7, 9, 11, 12, 14};
  static constexpr std::array<int, 9> kMinorSteps{0, 2, 3, 5, 7, 8, 10, 12, 14};
  const auto& steps = tune.scale == Scale::kMajor ? kMajorSteps : kMinorSteps;
  std::vector<MelodyNote> notes;
  for (int nRepeat = 0; nRepeat < tune.nRepeats; ++nRepeat) {
    for (const char c : std::string_view(tune.pszPhrase)) {
      if (c == '-' && !notes.empty()) {
        notes.back().dSeconds += tune.dBeatSeconds;
      } else if (c >= '1' && c <= '9') {
        const double dFrequency = tune.dRootHz * std::exp2(steps[c - '1'] / 12.0);
        notes.push_back({dFrequency, tune.dBeatSeconds});
      } else if (c == '.') {
        notes.push_back({0.0, tune.dBeatSeconds});
      }
    }
  }
  notes.push_back({tune.dRootHz, kClosingBeats * tune.dBeatSeconds});
  if (tune.dTailSeconds > 0) {
    notes.push_back({0.0, tune.dTailSeconds});
  }
  return notes;
}

// Writes every tune whose track has no file yet. Stops at the first failure, leaving no
// partial file behind (one would count as the track's file from then on).
bool WriteMissingTunes(const std::string& strMusicDir, std::string& strError) {
  for (const DemoTune& tune : kTunes) {
    const std::string strFolder = CDFolder(strMusicDir, tune.nCD);
    std::error_code error;
    std::filesystem::create_directory(PathFromUtf8(strFolder), error);
    if (error) {
      strError = "Could not create the folder " + strFolder + ": " + error.message();
      return false;
    }
    if (HasTrackFile(strFolder, tune.nTrack)) {
      continue;
    }
    const std::string strPath =
        strFolder + ZeroPadded(tune.nTrack, 2) + " " + tune.pszTitle + ".wav";
    const double dAmplitude = kAmplitude * std::pow(10.0, tune.dLevelDb / 20.0);
    if (!WriteMelodyWav(strPath, TuneNotes(tune), dAmplitude, kSampleRate)) {
      std::filesystem::remove(PathFromUtf8(strPath), error);
      strError = "Could not write the music file " + strPath;
      return false;
    }
  }
  return true;
}

// The playlist index of the tune with this title, -1 for a song the library does not hold.
int TuneIndex(std::string_view title) {
  for (std::size_t i = 0; i < kTunes.size(); ++i) {
    if (title == kTunes[i].pszTitle) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const char* ChartOnlyArtist(std::string_view title) {
  for (const ChartOnlySong& song : kChartOnlySongs) {
    if (title == song.pszTitle) {
      return song.pszArtist;
    }
  }
  return " ";
}

bool SaveFile(const std::string& strFilesDir, const std::string& strBaseName,
              const std::string& strContent, std::string& strError) {
  if (SaveWithRotation(strFilesDir, strBaseName, strContent)) {
    return true;
  }
  strError = "Could not write the database file " + strFilesDir + strBaseName + ".dat";
  return false;
}

// Links are those that rebuilding the relationships would give: every placing of a tune links
// to its record, and the record links to its best placing (the first one on a tie).
bool WriteDatabases(const std::string& strFilesDir, std::string& strError) {
  std::vector<PlaylistEntry> playlist;
  playlist.reserve(std::size(kTunes));
  for (const DemoTune& tune : kTunes) {
    playlist.push_back(PlaylistEntry{tune.pszArtist, tune.pszTitle, std::to_string(tune.nCD),
                                     std::to_string(tune.nTrack), -1});
  }
  std::vector<int> bestPositions(playlist.size(), 0);

  std::string strCharts;
  std::string strHits;
  for (std::size_t i = 0; i < kChartHistory.size(); ++i) {
    const ChartPlacing& placing = kChartHistory[i];
    const int nTune = TuneIndex(placing.pszTitle);
    const char* pszArtist =
        nTune >= 0 ? kTunes[nTune].pszArtist : ChartOnlyArtist(placing.pszTitle);
    strCharts += FormatChartLine(ChartEntry{placing.pszDate, pszArtist, placing.pszTitle,
                                            std::to_string(placing.nPosition), nTune});
    if (nTune >= 0 &&
        (playlist[nTune].nChartLink == -1 || placing.nPosition < bestPositions[nTune])) {
      playlist[nTune].nChartLink = static_cast<int>(i);
      bestPositions[nTune] = placing.nPosition;
    }
    if (placing.nPosition == 1) {
      // A single blank stands for "no library copy": an empty field would not survive reading.
      const NumberOneEntry hit{placing.pszDate, pszArtist, placing.pszTitle,
                               nTune >= 0 ? playlist[nTune].strCD : " ",
                               nTune >= 0 ? playlist[nTune].strTrack : " "};
      strHits += FormatNumberOneLine(hit);
    }
  }

  std::string strPlaylist;
  for (const PlaylistEntry& entry : playlist) {
    strPlaylist += FormatPlaylistLine(entry);
  }

  // playlist.dat comes last: its presence is what marks the library as complete.
  return SaveFile(strFilesDir, "charts", strCharts, strError) &&
         SaveFile(strFilesDir, "hits", strHits, strError) &&
         SaveFile(strFilesDir, "playlist", strPlaylist, strError);
}

bool CreateFolder(const std::string& strFolder, std::string& strError) {
  std::error_code error;
  std::filesystem::create_directories(PathFromUtf8(strFolder), error);
  if (error) {
    strError = "Could not create the folder " + strFolder + ": " + error.message();
    return false;
  }
  return true;
}

}  // namespace

void AnalyseDemoTunes(const Settings& settings, AudioAnalyser& analyser, Clock& clock) {
  TrackStore tunes;
  tunes.Allocate(static_cast<int>(kTunes.size()), 1);
  for (std::size_t i = 0; i < kTunes.size(); ++i) {
    tunes.SetPlaylistEntry(static_cast<int>(i), kTunes[i].pszArtist, kTunes[i].pszTitle,
                           std::to_string(kTunes[i].nCD), std::to_string(kTunes[i].nTrack), -1);
  }
  tunes.SetPlaylistCount(static_cast<int>(kTunes.size()));
  AnalyseLibrary({tunes, settings.strMusicDir, settings.strFilesDir, analyser, clock, 2}, {});
}

bool EnsureDemoLibrary(const std::string& strRoot, Settings& settings, std::string& strError) {
  if (strRoot.empty()) {
    strError = "No folder given for the demo library";
    return false;
  }
  std::string strFolder = strRoot;
  if (strFolder.back() != kPathSeparator) {
    strFolder += kPathSeparator;
  }
  const std::string strMusicDir = strFolder + "music" + kPathSeparator;
  const std::string strFilesDir = strFolder + "db" + kPathSeparator;
  if (!CreateFolder(strFolder + "music", strError) || !CreateFolder(strFolder + "db", strError)) {
    return false;
  }

  std::error_code error;
  if (std::filesystem::exists(PathFromUtf8(strFilesDir + "playlist.dat"), error)) {
    // The operator's library: only put back tunes that went missing, and go on without them
    // if that fails (a missing file only makes its track silent).
    std::string strIgnored;
    WriteMissingTunes(strMusicDir, strIgnored);
  } else if (!WriteMissingTunes(strMusicDir, strError) || !WriteDatabases(strFilesDir, strError)) {
    return false;
  }

  settings.bInstalled = true;
  settings.strMusicDir = strMusicDir;
  settings.strFilesDir = strFilesDir;
  settings.nPlayMode = 1;
  settings.nAutoTime = 2;
  settings.nFadeTime = 5;
  settings.nSystemTimer = 100;
  settings.nInitVolume = 0;
  settings.strLogFile = "demo";
  settings.nLogEnabled = 1;
  settings.bEvenLoudness = true;
  settings.nLoudnessTarget = kDefaultLoudness;
  settings.bChangeAtMusicEnd = true;
  return true;
}

}  // namespace velvane
