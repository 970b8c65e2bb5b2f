#include "platform/MpvMci.h"

#include <mpv/client.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace velvane {

namespace {

using Clock = std::chrono::steady_clock;

// If mpv has not paused itself at the end this long after eof-reached (it always does with
// keep-open=yes), the end is taken as reached anyway so that a deck can never hang.
constexpr std::chrono::milliseconds kDrainFallback{3000};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return text;
}

bool IsWord(const std::string& word, const char* keyword) {
  return Upper(word) == Upper(keyword);
}

// Splits a command into words: runs of characters other than blanks and tabs, or a text
// between double quotes (kept whole with its blanks, without the quotes).
int SplitWords(const std::string& command, std::vector<std::string>& words) {
  std::size_t i = 0;
  const std::size_t n = command.size();
  while (i < n) {
    if (command[i] == ' ' || command[i] == '\t') {
      ++i;
    } else if (command[i] == '"') {
      const std::size_t close = command.find('"', i + 1);
      if (close == std::string::npos) {
        return kMciErrNoClosingQuote;
      }
      words.push_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      const std::size_t start = i;
      while (i < n && command[i] != ' ' && command[i] != '\t') {
        ++i;
      }
      words.push_back(command.substr(start, i - start));
    }
  }
  return 0;
}

bool GetDouble(mpv_handle* pHandle, const char* name, double& value) {
  return mpv_get_property(pHandle, name, MPV_FORMAT_DOUBLE, &value) >= 0;
}

bool GetFlag(mpv_handle* pHandle, const char* name) {
  int value = 0;
  return mpv_get_property(pHandle, name, MPV_FORMAT_FLAG, &value) >= 0 && value != 0;
}

int SetPause(mpv_handle* pHandle, bool bPause) {
  int value = bPause ? 1 : 0;
  return mpv_set_property(pHandle, "pause", MPV_FORMAT_FLAG, &value) >= 0 ? 0 : kMciErrInternal;
}

// The MCI error for an mpv end-of-file event that came instead of a loaded file.
int LoadError(const mpv_event_end_file& end) {
  if (end.reason == MPV_END_FILE_REASON_ERROR) {
    if (end.error == MPV_ERROR_AO_INIT_FAILED) {
      return kMciErrCannotLoadDriver;
    }
    if (end.error == MPV_ERROR_LOADING_FAILED) {
      return kMciErrFileNotFound;
    }
  }
  // Unknown format, nothing to play, or a playlist (redirect): not a sound file.
  return kMciErrInvalidFile;
}

}  // namespace

void MpvMci::HandleDeleter::operator()(mpv_handle* pHandle) const {
  mpv_terminate_destroy(pHandle);
}

MpvMci::MpvMci(MpvMciOptions options) : m_options(std::move(options)) {}

MpvMci::~MpvMci() = default;

std::string MpvMci::AliasKey(const std::string& alias) {
  return Upper(alias);
}

MpvMci::Deck* MpvMci::FindDeck(const std::string& alias) {
  const auto it = m_mapDecks.find(AliasKey(alias));
  return it == m_mapDecks.end() ? nullptr : it->second.get();
}

std::optional<double> MpvMci::GetEngineVolume(const std::string& alias) const {
  const auto it = m_mapDecks.find(AliasKey(alias));
  double volume = 0;
  if (it == m_mapDecks.end() || !GetDouble(it->second->m_pHandle.get(), "volume", volume)) {
    return std::nullopt;
  }
  return volume;
}

int MpvMci::SendString(const std::string& command, std::string& reply) {
  reply.clear();
  std::vector<std::string> words;
  if (const int error = SplitWords(command, words); error != 0) {
    return error;
  }
  if (words.empty()) {
    return kMciErrMissingCommandString;
  }
  const std::string verb = Upper(words[0]);
  if (verb == "OPEN") {
    return OnOpen(words);
  }
  if (verb != "PLAY" && verb != "STOP" && verb != "CLOSE" && verb != "SETAUDIO" &&
      verb != "STATUS") {
    return kMciErrUnrecognizedCommand;
  }
  if (words.size() < 2) {
    return kMciErrMissingParameter;
  }
  Deck* pDeck = FindDeck(words[1]);
  if (pDeck == nullptr) {
    return kMciErrInvalidDeviceName;
  }
  if (verb == "SETAUDIO") {
    return OnSetAudio(*pDeck, words);
  }
  if (verb == "STATUS") {
    if (words.size() < 3) {
      return kMciErrMissingParameter;
    }
    if (words.size() > 3) {
      return kMciErrUnrecognizedKeyword;
    }
    return OnStatus(*pDeck, words[2], reply);
  }
  if (words.size() > 2) {
    return kMciErrUnrecognizedKeyword;
  }
  if (verb == "PLAY") {
    return OnPlay(*pDeck);
  }
  if (verb == "STOP") {
    return OnStop(*pDeck);
  }
  m_mapDecks.erase(AliasKey(words[1]));  // close: destroys the mpv handle
  return 0;
}

void MpvMci::SetGain(const std::string& strAlias, double dGainDb) {
  m_mapGains[AliasKey(strAlias)] = dGainDb;
}

int MpvMci::OnOpen(const std::vector<std::string>& words) {
  if (words.size() < 2) {
    return kMciErrMissingParameter;
  }
  const std::string& path = words[1];
  std::string alias;
  for (std::size_t i = 2; i < words.size(); i += 2) {
    if (!IsWord(words[i], "alias")) {
      return kMciErrUnrecognizedKeyword;
    }
    if (i + 1 >= words.size()) {
      return kMciErrMissingParameter;
    }
    alias = words[i + 1];
  }
  if (alias.empty()) {
    return kMciErrMissingParameter;
  }
  if (FindDeck(alias) != nullptr) {
    return kMciErrDuplicateAlias;
  }
  std::error_code error;
  if (path.empty() || !std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
    return kMciErrFileNotFound;
  }

  // mpv refuses to create a handle (mpv_create returns null) unless LC_NUMERIC is "C". The
  // programs set it once in main(): setlocale is not safe while analysis threads run.
  auto pDeck = std::make_unique<Deck>();
  pDeck->m_pHandle.reset(mpv_create());
  mpv_handle* pHandle = pDeck->m_pHandle.get();
  if (pHandle == nullptr) {
    return kMciErrCannotLoadDriver;
  }
  const std::pair<const char*, std::string> required[] = {
      {"vid", "no"},
      {"vo", "null"},
      {"keep-open", "yes"},
      {"idle", "yes"},
      {"config", "no"},
      {"terminal", "no"},
      {"volume-max", "100"},
      {"ao", m_options.strAudioOutput},
      {"pause", "yes"},
      {"resume-playback", "no"},
      {"ao-null-untimed", m_options.bUntimed ? "yes" : "no"},
  };
  for (const auto& [name, value] : required) {
    if (mpv_set_option_string(pHandle, name, value.c_str()) < 0) {
      return kMciErrCannotLoadDriver;
    }
  }
  // The gain filter is wanted but not required: without it the track still plays, at the
  // level of its file.
  if (const auto it = m_mapGains.find(AliasKey(alias)); it != m_mapGains.end() && it->second != 0) {
    char filter[64];
    std::snprintf(filter, sizeof filter, "lavfi=[volume=volume=%.2fdB]", it->second);
    mpv_set_option_string(pHandle, "af", filter);
  }
  // Not needed for playing sound; left out so a handle starts fast. An mpv built without one
  // of these features rejects the option, which does no harm.
  const std::pair<const char*, const char*> optional[] = {
      {"audio-display", "no"},
      {"load-scripts", "no"},
      {"ytdl", "no"},
      {"load-stats-overlay", "no"},
      {"load-osd-console", "no"},
      {"load-auto-profiles", "no"},
      {"input-default-bindings", "no"},
      {"audio-client-name", "Velvane"},
  };
  for (const auto& [name, value] : optional) {
    mpv_set_option_string(pHandle, name, value);
  }
  if (mpv_initialize(pHandle) < 0) {
    return kMciErrCannotLoadDriver;
  }

  const char* command[] = {"loadfile", path.c_str(), nullptr};
  if (mpv_command(pHandle, command) < 0) {
    return kMciErrInvalidFile;
  }
  // Wait until the file is loaded and the audio output is open (mpv then reports playback
  // restart, still paused), or until mpv gives up on the file.
  const auto deadline = Clock::now() + std::chrono::milliseconds(m_options.nLoadTimeoutMs);
  bool bLoaded = false;
  for (;;) {
    const double dRemaining = std::chrono::duration<double>(deadline - Clock::now()).count();
    if (dRemaining <= 0) {
      return kMciErrDeviceNotReady;
    }
    const mpv_event* pEvent = mpv_wait_event(pHandle, dRemaining);
    if (pEvent->event_id == MPV_EVENT_FILE_LOADED) {
      bLoaded = true;
    } else if (pEvent->event_id == MPV_EVENT_PLAYBACK_RESTART && bLoaded) {
      break;
    } else if (pEvent->event_id == MPV_EVENT_END_FILE) {
      return LoadError(*static_cast<const mpv_event_end_file*>(pEvent->data));
    } else if (pEvent->event_id == MPV_EVENT_SHUTDOWN) {
      return kMciErrCannotLoadDriver;
    }
  }
  std::int64_t audioTrack = 0;
  if (mpv_get_property(pHandle, "current-tracks/audio/id", MPV_FORMAT_INT64, &audioTrack) < 0) {
    return kMciErrInvalidFile;
  }
  // A file without a single millisecond of sound would sit at position 0 = length for ever and
  // never report its end, so it is refused like any file that cannot be played.
  double dDuration = 0;
  if (!GetDouble(pHandle, "duration", dDuration) || std::llround(dDuration * 1000) <= 0) {
    return kMciErrInvalidFile;
  }
  char* pOutput = mpv_get_property_string(pHandle, "current-ao");
  const bool bHaveOutput = pOutput != nullptr && pOutput[0] != '\0';
  mpv_free(pOutput);
  if (!bHaveOutput) {
    return kMciErrCannotLoadDriver;
  }
  pDeck->m_nLengthMs = std::llround(dDuration * 1000);
  m_mapDecks[AliasKey(alias)] = std::move(pDeck);
  return 0;
}

int MpvMci::OnPlay(Deck& deck) {
  UpdateDeck(deck);
  if (deck.m_bDrained) {
    return 0;  // at the end there is nothing left to play, as in MCI
  }
  deck.m_bPlaying = true;
  deck.m_nBasePosMs = deck.m_nLastPosMs;
  deck.m_tBase = Clock::now();
  return SetPause(deck.m_pHandle.get(), false);
}

int MpvMci::OnStop(Deck& deck) {
  UpdateDeck(deck);  // the position where it stops
  deck.m_bPlaying = false;
  deck.m_bEofSeen = false;
  return SetPause(deck.m_pHandle.get(), true);
}

int MpvMci::OnSetAudio(Deck& deck, const std::vector<std::string>& words) {
  if (words.size() < 5) {
    return kMciErrMissingParameter;
  }
  if (words.size() > 5 || !IsWord(words[2], "volume") || !IsWord(words[3], "to")) {
    return kMciErrUnrecognizedKeyword;
  }
  const std::string& text = words[4];
  long long nVolume = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), nVolume);
  if (error == std::errc::result_out_of_range) {
    nVolume = text[0] == '-' ? 0 : 1000;
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return kMciErrBadInteger;
  }
  nVolume = std::clamp(nVolume, 0LL, 1000LL);
  // MCI's volume is linear in amplitude; mpv's volume is cubic (amplitude = (v / 100)^3).
  double dVolume = 100.0 * std::cbrt(static_cast<double>(nVolume) / 1000.0);
  if (mpv_set_property(deck.m_pHandle.get(), "volume", MPV_FORMAT_DOUBLE, &dVolume) < 0) {
    return kMciErrInternal;
  }
  return 0;
}

int MpvMci::OnStatus(Deck& deck, const std::string& item, std::string& reply) {
  const bool bPosition = IsWord(item, "position");
  if (!bPosition && !IsWord(item, "length")) {
    return kMciErrUnrecognizedKeyword;
  }
  UpdateDeck(deck);
  std::int64_t nValue = deck.m_nLastPosMs;
  if (!bPosition) {
    if (deck.m_bDrained) {
      nValue = deck.m_nLengthMs;  // equal to the position
    } else if (deck.m_nLengthMs > 0) {
      nValue = std::max(deck.m_nLengthMs, deck.m_nLastPosMs + 1);
    } else {
      nValue = 0;  // not known (yet)
    }
  }
  reply = std::to_string(nValue);
  return 0;
}

// Reads mpv's state into the deck: the end of the sound, the length and the position.
void MpvMci::UpdateDeck(Deck& deck) {
  mpv_handle* pHandle = deck.m_pHandle.get();
  for (;;) {
    const mpv_event* pEvent = mpv_wait_event(pHandle, 0);
    if (pEvent->event_id == MPV_EVENT_NONE) {
      break;
    }
    if (pEvent->event_id == MPV_EVENT_END_FILE || pEvent->event_id == MPV_EVENT_SHUTDOWN) {
      deck.m_bEnded = true;  // an error while playing: nothing more will sound
    }
  }
  if (deck.m_bDrained) {
    return;
  }
  const auto now = Clock::now();
  double dDuration = 0;
  if (GetDouble(pHandle, "duration", dDuration) && dDuration > 0) {
    deck.m_nLengthMs = std::llround(dDuration * 1000);
  }
  const bool bEof = GetFlag(pHandle, "eof-reached");
  if (bEof && deck.m_bPlaying && !deck.m_bEofSeen) {
    deck.m_bEofSeen = true;
    deck.m_tEofSeen = now;
  }
  // With keep-open=yes mpv pauses itself once the audio output has played everything; the
  // adapter unpaused it, so a pause at the end of file is mpv's and marks the real end.
  const bool bDrained =
      deck.m_bEnded || (deck.m_bPlaying && bEof &&
                        (GetFlag(pHandle, "pause") || now - deck.m_tEofSeen >= kDrainFallback));
  if (bDrained) {
    deck.m_bDrained = true;
    deck.m_nLengthMs = std::max(deck.m_nLengthMs, deck.m_nLastPosMs);
    deck.m_nLastPosMs = deck.m_nLengthMs;
    return;
  }

  std::int64_t nPosMs = deck.m_nLastPosMs;
  double dPos = 0;
  if (!bEof) {
    // audio-pts is what the output is playing now (written audio less the output's delay);
    // time-pos follows it in steps.
    if (GetDouble(pHandle, "audio-pts", dPos) || GetDouble(pHandle, "time-pos", dPos)) {
      nPosMs = std::llround(std::max(dPos, 0.0) * 1000);
      if (deck.m_bPlaying) {
        deck.m_nBasePosMs = nPosMs;
        deck.m_tBase = now;
      }
    }
  } else if (deck.m_bPlaying) {
    // mpv has read everything and jumped to the end while the output still plays its
    // buffer: count on from the last position it reported.
    nPosMs = deck.m_nBasePosMs +
             std::chrono::duration_cast<std::chrono::milliseconds>(now - deck.m_tBase).count();
  }
  if (deck.m_nLengthMs > 0) {
    nPosMs = std::min(nPosMs, deck.m_nLengthMs - 1);
  }
  deck.m_nLastPosMs = std::max(deck.m_nLastPosMs, nPosMs);
}

}  // namespace velvane
