#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/db/Records.h"

namespace velvane {

// A record read from a database file, as a few numbers: its texts are found again in the file's
// content by one offset and their lengths, since in a well-formed line each text follows the
// one before it and its separator. A record whose texts do not lie so (a cut or damaged field,
// texts set by an editor or an import) is an owned copy instead: the offset is then its index
// among the copies.
inline constexpr std::uint8_t kOwnedRecord = 255;  // in the first length: an owned copy

struct PackedPlaylist {
  std::uint32_t nOffset = 0;
  std::int32_t nLink = -1;              // the chart link
  std::array<std::uint8_t, 2> texts{};  // bytes of artist and title
  std::uint16_t nCD = 0;                // the number + 1; 0 for an empty text
  std::uint8_t nTrack = 0;              // the same

  bool Owned() const { return texts[0] == kOwnedRecord; }
};

struct PackedChart {
  std::uint32_t nOffset = 0;
  std::int32_t nLink = -1;              // the playlist link
  std::array<std::uint8_t, 4> texts{};  // bytes of date, artist, title and position

  bool Owned() const { return texts[0] == kOwnedRecord; }
};

// Packs a record read from a line of `content`; false if it must be an owned copy.
bool Pack(std::string_view content, const PlaylistView& view, PackedPlaylist& packed);
bool Pack(std::string_view content, const ChartView& view, PackedChart& packed);
// A packed record that is not an owned copy, from the content it was packed from.
PlaylistView Unpack(std::string_view content, const PackedPlaylist& packed);
ChartView Unpack(std::string_view content, const PackedChart& packed);

}  // namespace velvane
