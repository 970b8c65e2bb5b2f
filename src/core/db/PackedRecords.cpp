#include "core/db/PackedRecords.h"

#include <limits>

#include "core/db/LineCodec.h"

namespace velvane {

namespace {

// Whether the texts lie one after another in `content`, each followed by one separator, the
// empty ones only at the end; then their offset and lengths.
template <std::size_t N>
bool PackTexts(std::string_view content, const std::array<std::string_view, N>& texts,
               std::uint32_t& nOffset, std::array<std::uint8_t, N>& lengths) {
  const char* pBegin = content.data();
  const char* pEnd = pBegin + content.size();
  const char* pNext = texts[0].data();
  if (texts[0].empty()) {
    pNext = pBegin;
  } else if (pNext < pBegin || pNext > pEnd ||
             static_cast<std::size_t>(pNext - pBegin) > std::numeric_limits<std::uint32_t>::max()) {
    return false;
  }
  nOffset = static_cast<std::uint32_t>(pNext - pBegin);
  bool bEnded = false;
  for (std::size_t i = 0; i < N; ++i) {
    const std::string_view text = texts[i];
    if (text.empty()) {
      bEnded = true;
      lengths[i] = 0;
      continue;
    }
    if (bEnded || text.data() != pNext || text.size() >= kOwnedRecord) {
      return false;
    }
    lengths[i] = static_cast<std::uint8_t>(text.size());
    pNext += text.size() + 1;
  }
  return true;
}

template <std::size_t N>
std::string_view UnpackText(std::string_view content, std::uint32_t nOffset,
                            const std::array<std::uint8_t, N>& lengths, std::size_t nText) {
  if (lengths[nText] == 0) {
    return {};
  }
  std::size_t nStart = nOffset;
  for (std::size_t i = 0; i < nText; ++i) {
    nStart += lengths[i] + 1u;
  }
  return content.substr(nStart, lengths[nText]);
}

// A CD or track text as its number + 1 (0 for an empty text), if it is that number's own text:
// digits alone, no leading zero.
bool PackNumber(std::string_view text, int nMax, int& nPacked) {
  if (text.size() > 3 || (text.size() > 1 && text[0] == '0')) {
    return false;
  }
  int nNumber = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    nNumber = nNumber * 10 + (c - '0');
  }
  nPacked = text.empty() ? 0 : nNumber + 1;
  return nNumber <= nMax;
}

std::string_view NumberFromPacked(int nPacked) {
  return nPacked == 0 ? std::string_view() : NumberText(nPacked - 1);
}

}  // namespace

bool Pack(std::string_view content, const PlaylistView& view, PackedPlaylist& packed) {
  int nCD = 0;
  int nTrack = 0;
  if (!PackNumber(view.strCD, 999, nCD) || !PackNumber(view.strTrack, 99, nTrack) ||
      !PackTexts(content, std::array{view.strArtist, view.strTitle}, packed.nOffset,
                 packed.texts)) {
    return false;
  }
  packed.nCD = static_cast<std::uint16_t>(nCD);
  packed.nTrack = static_cast<std::uint8_t>(nTrack);
  packed.nLink = view.nChartLink;
  return true;
}

bool Pack(std::string_view content, const ChartView& view, PackedChart& packed) {
  packed.nLink = view.nPlaylistLink;
  return PackTexts(content,
                   std::array{view.strDate, view.strArtist, view.strTitle, view.strPosition},
                   packed.nOffset, packed.texts);
}

PlaylistView Unpack(std::string_view content, const PackedPlaylist& packed) {
  return {UnpackText(content, packed.nOffset, packed.texts, 0),
          UnpackText(content, packed.nOffset, packed.texts, 1), NumberFromPacked(packed.nCD),
          NumberFromPacked(packed.nTrack), packed.nLink};
}

ChartView Unpack(std::string_view content, const PackedChart& packed) {
  return {UnpackText(content, packed.nOffset, packed.texts, 0),
          UnpackText(content, packed.nOffset, packed.texts, 1),
          UnpackText(content, packed.nOffset, packed.texts, 2),
          UnpackText(content, packed.nOffset, packed.texts, 3), packed.nLink};
}

}  // namespace velvane
