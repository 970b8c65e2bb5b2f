#pragma once

#include <string>
#include <string_view>

#include "core/ports/Clock.h"

namespace velvane {

// A track as the listeners are told of it: its texts as stored in the library.
struct NowPlayingTrack {
  std::string strArtist;
  std::string strTitle;
  std::string strCD;
  std::string strTrack;
};

// A track as it started on a deck.
struct StartedTrack {
  NowPlayingTrack track;
  std::string strStarted;  // UTC, as IsoUtcTime writes it
  int nLengthMs = 0;
  long long nSerial = 0;  // counts the starts, so the same song started again is told again
};

// What the now-playing outputs tell: the track on air and the next one queued.
struct NowPlaying {
  bool bOnAir = false;  // false: nothing plays, every other field is empty
  StartedTrack onAir;
  bool bNext = false;  // a track waits in the queue's next slot
  NowPlayingTrack next;
};

// The template with %artist%, %title%, %cd%, %track%, %next_artist% and %next_title% replaced
// by their UTF-8 texts (control characters as spaces, so it stays one line); any other %name%
// stays as typed. Empty when nothing is on air.
std::string ExpandNowPlayingTemplate(std::string_view strTemplate, const NowPlaying& now);

// The JSON object told to files and web hooks, on one line with a line end: "on_air",
// "artist", "title", "cd", "track", "started", "length_ms" and "next" (an object with "artist",
// "title", "cd" and "track"). Every field but "on_air" is null when nothing is on air; "next"
// is null when no track is queued.
std::string NowPlayingJson(const NowPlaying& now);

// A stored text as a JSON string, quotes included: its UTF-8 (see DisplayUtf8), with the
// quote, the backslash and every control character escaped.
std::string JsonString(std::string_view text);

// "2026-12-04T17:59:00Z"
std::string IsoUtcTime(const SystemTime& time);

}  // namespace velvane
