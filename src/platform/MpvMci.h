#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/DeckGain.h"
#include "core/ports/Mci.h"

struct mpv_handle;

namespace velvane {

// Error codes returned by MpvMci::SendString: the numbers the MCI string interface uses for the
// same errors (256 + n). 0 is success.
//
// open:
//   kMciErrFileNotFound      275 MCIERR_FILE_NOT_FOUND: no such file, not a regular file, or
//                                mpv could not read it
//   kMciErrInvalidFile       296 MCIERR_INVALID_FILE: not a format mpv plays, no audio track,
//                                or a playlist
//   kMciErrDuplicateAlias    289 MCIERR_DUPLICATE_ALIAS: the alias is already open
//   kMciErrCannotLoadDriver  266 MCIERR_CANNOT_LOAD_DRIVER: mpv could not be set up, or no
//                                audio output in the list could be opened
//   kMciErrDeviceNotReady    276 MCIERR_DEVICE_NOT_READY: the file did not load in time
// every command:
//   kMciErrInvalidDeviceName 263 MCIERR_INVALID_DEVICE_NAME: the alias is not open
//   kMciErrUnrecognizedCommand 261 MCIERR_UNRECOGNIZED_COMMAND: unknown verb
//   kMciErrUnrecognizedKeyword 259 MCIERR_UNRECOGNIZED_KEYWORD: a word after the verb (status
//                                item, "volume to", an open option other than alias) is not one
//                                of ours, or there are words too many
//   kMciErrMissingParameter  273 MCIERR_MISSING_PARAMETER: alias, path or value missing
//   kMciErrMissingCommandString 267 MCIERR_MISSING_COMMAND_STRING: the command is blank
//   kMciErrNoClosingQuote    294 MCIERR_NO_CLOSING_QUOTE
//   kMciErrBadInteger        270 MCIERR_BAD_INTEGER: the volume is not a whole number
//   kMciErrInternal          277 MCIERR_INTERNAL: mpv refused to pause, unpause or set volume
inline constexpr int kMciErrUnrecognizedKeyword = 259;
inline constexpr int kMciErrUnrecognizedCommand = 261;
inline constexpr int kMciErrInvalidDeviceName = 263;
inline constexpr int kMciErrCannotLoadDriver = 266;
inline constexpr int kMciErrMissingCommandString = 267;
inline constexpr int kMciErrBadInteger = 270;
inline constexpr int kMciErrMissingParameter = 273;
inline constexpr int kMciErrFileNotFound = 275;
inline constexpr int kMciErrDeviceNotReady = 276;
inline constexpr int kMciErrInternal = 277;
inline constexpr int kMciErrDuplicateAlias = 289;
inline constexpr int kMciErrNoClosingQuote = 294;
inline constexpr int kMciErrInvalidFile = 296;

// How the adapter sets up each mpv handle. The defaults are the program's; tests force the
// null output and may let it run faster than real time.
struct MpvMciOptions {
  std::string strAudioOutput = "pulse,alsa,null";  // mpv option "ao": tried in order
  bool bUntimed = false;                           // mpv option "ao-null-untimed=yes"
  int nLoadTimeoutMs = 10000;                      // how long "open" waits for the file
};

// The MCI port over libmpv: a small interpreter of exactly the command strings the deck driver
// sends, one mpv handle per open alias:
//
//   open "PATH" alias A        (one or more blanks between words; the path may be unquoted
//                               when it holds no blank) loads PATH paused and waits until it
//                               is ready to play or has failed
//   play A                     unpauses; after open the track starts at its beginning;
//                              after stop it goes on where it stopped; at the end: nothing
//   setaudio A volume to N     N clamped to 0..1000; mpv gets the cubic 100 * cbrt(N / 1000)
//   status A position|length   milliseconds as decimal text in the reply
//   stop A                     pauses; the alias stays open
//   close A                    destroys the handle
//
// Verbs, keywords and aliases are case-insensitive, as in MCI. On error the reply is empty.
//
// A gain set for an alias (DeckGain) is applied by an audio filter when the alias is next
// opened, beneath the volume: "setaudio" and the volume mpv is given stay as they are.
//
// Position and length: the length is mpv's duration rounded to milliseconds. The position
// never goes backwards and stays strictly below the length until the sound has really drained
// from the audio output; from then on position and length are the same number. mpv raises
// "eof-reached" (and jumps time-pos to the end) 200-400 ms before the output has played its
// buffer; with keep-open=yes it pauses itself only once the output has drained, and that pause
// is what marks the end here. Between the two the position is extrapolated on the wall clock
// from the last position mpv reported (capped one millisecond below the length). Should mpv
// not pause within 3 s of eof-reached, or end the file with an error, that counts as the end,
// so a deck can never stay open for ever. The PulseAudio test records the sink and checks
// that closing a deck the moment it reports its end cuts nothing.
//
// mpv is driven only from the caller's thread: status queries drain mpv's event queue with
// mpv_wait_event(handle, 0) and never block; the adapter starts no thread of its own.
class MpvMci : public Mci, public DeckGain {
 public:
  explicit MpvMci(MpvMciOptions options = {});
  ~MpvMci() override;
  MpvMci(const MpvMci&) = delete;
  MpvMci& operator=(const MpvMci&) = delete;

  int SendString(const std::string& command, std::string& reply) override;
  void SetGain(const std::string& strAlias, double dGainDb) override;

  // The volume mpv was given for an open alias (0..100), for tests and diagnostics.
  std::optional<double> GetEngineVolume(const std::string& alias) const;

 private:
  struct HandleDeleter {
    void operator()(mpv_handle* pHandle) const;
  };
  using HandlePtr = std::unique_ptr<mpv_handle, HandleDeleter>;
  using TimePoint = std::chrono::steady_clock::time_point;

  // One open alias.
  struct Deck {
    HandlePtr m_pHandle;
    bool m_bPlaying = false;  // unpaused by "play" and not stopped since
    bool m_bEnded = false;    // mpv ended the file (END_FILE): nothing more will play
    bool m_bDrained = false;  // the sound has played to its end; position == length
    bool m_bEofSeen = false;  // eof-reached observed while playing
    TimePoint m_tEofSeen;
    std::int64_t m_nLengthMs = 0;   // mpv's duration in ms (0 while unknown)
    std::int64_t m_nLastPosMs = 0;  // the last position reported (never decreases)
    std::int64_t m_nBasePosMs = 0;  // last position read from mpv while playing, and when
    TimePoint m_tBase;
  };

  int OnOpen(const std::vector<std::string>& words);
  int OnPlay(Deck& deck);
  int OnStop(Deck& deck);
  int OnSetAudio(Deck& deck, const std::vector<std::string>& words);
  int OnStatus(Deck& deck, const std::string& item, std::string& reply);

  Deck* FindDeck(const std::string& alias);
  static std::string AliasKey(const std::string& alias);
  void UpdateDeck(Deck& deck);

  MpvMciOptions m_options;
  std::map<std::string, std::unique_ptr<Deck>> m_mapDecks;  // by upper-cased alias
  std::map<std::string, double> m_mapGains;                 // dB, by upper-cased alias
};

}  // namespace velvane
