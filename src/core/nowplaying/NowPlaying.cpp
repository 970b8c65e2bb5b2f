#include "core/nowplaying/NowPlaying.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

#include "core/text/Text.h"

namespace velvane {

namespace {

std::string OneLine(std::string_view text) {
  return ControlsAsSpaces(DisplayUtf8(text));
}

std::string TrackJson(const NowPlayingTrack& track) {
  return "\"artist\":" + JsonString(track.strArtist) + ",\"title\":" + JsonString(track.strTitle) +
         ",\"cd\":" + JsonString(track.strCD) + ",\"track\":" + JsonString(track.strTrack);
}

}  // namespace

std::string ExpandNowPlayingTemplate(std::string_view strTemplate, const NowPlaying& now) {
  if (!now.bOnAir) {
    return {};
  }
  const NowPlayingTrack& track = now.onAir.track;
  const std::array<std::pair<std::string_view, const std::string*>, 6> fields = {{
      {"artist", &track.strArtist},
      {"title", &track.strTitle},
      {"cd", &track.strCD},
      {"track", &track.strTrack},
      {"next_artist", &now.next.strArtist},
      {"next_title", &now.next.strTitle},
  }};
  std::string strResult;
  std::size_t nPos = 0;
  while (nPos < strTemplate.size()) {
    const std::size_t nOpen = strTemplate.find('%', nPos);
    const std::size_t nClose =
        nOpen == std::string_view::npos ? nOpen : strTemplate.find('%', nOpen + 1);
    if (nClose == std::string_view::npos) {
      strResult += strTemplate.substr(nPos);
      break;
    }
    strResult += strTemplate.substr(nPos, nOpen - nPos);
    const std::string_view name = strTemplate.substr(nOpen + 1, nClose - nOpen - 1);
    const auto* pField = std::find_if(fields.begin(), fields.end(),
                                      [name](const auto& field) { return field.first == name; });
    if (pField == fields.end()) {
      strResult += '%';  // not a name: the next % may open one
      nPos = nOpen + 1;
      continue;
    }
    strResult += OneLine(*pField->second);
    nPos = nClose + 1;
  }
  return strResult;
}

std::string NowPlayingJson(const NowPlaying& now) {
  if (!now.bOnAir) {
    return "{\"on_air\":false,\"artist\":null,\"title\":null,\"cd\":null,\"track\":null,"
           "\"started\":null,\"length_ms\":null,\"next\":null}\n";
  }
  return "{\"on_air\":true," + TrackJson(now.onAir.track) +
         ",\"started\":" + JsonString(now.onAir.strStarted) +
         ",\"length_ms\":" + std::to_string(now.onAir.nLengthMs) +
         ",\"next\":" + (now.bNext ? "{" + TrackJson(now.next) + "}" : std::string("null")) + "}\n";
}

std::string JsonString(std::string_view text) {
  const std::string strUtf8 = DisplayUtf8(text);
  std::string strResult = "\"";
  for (const char c : strUtf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      strResult += '\\';
      strResult += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      strResult += escape;
    } else {
      strResult += c;
    }
  }
  return strResult + "\"";
}

std::string IsoUtcTime(const SystemTime& time) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02dZ", time.nYear, time.nMonth,
                time.nDay, time.nHour, time.nMinute, time.nSecond);
  return buffer;
}

}  // namespace velvane
