#include "core/maintenance/SongNumbers.h"

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include "core/search/TextMatch.h"

namespace velvane {

namespace {

// Artist and title keys joined so that no two different pairs give the same text: the
// artist key's length comes first. Written into one reused buffer.
void SongKey(std::string_view strArtist, std::string_view strTitle, std::string& strKey) {
  strKey.assign(sizeof(std::uint32_t), '\0');
  AppendSameTextKey(strArtist, strKey);
  const auto nLength = static_cast<std::uint32_t>(strKey.size() - sizeof(std::uint32_t));
  std::memcpy(strKey.data(), &nLength, sizeof nLength);
  AppendSameTextKey(strTitle, strKey);
}

// About this many keys share a part: its table and key texts stay in the processor's cache,
// so numbering costs the same per key for a thousand or a million of them.
constexpr std::size_t kKeysPerPart = 4096;

// The keys whose hashes begin with the same bits, packed end to end.
struct KeyPart {
  struct Key {
    std::uint64_t nHash;
    std::uint32_t nItem;  // chart entry, or chart size + library record
    std::size_t nEnd;     // end of its text in `texts`
  };
  std::vector<Key> keys;
  std::string texts;

  std::string_view Text(std::size_t k) const {
    const std::size_t nBegin = k == 0 ? 0 : keys[k - 1].nEnd;
    return std::string_view(texts).substr(nBegin, keys[k].nEnd - nBegin);
  }
};

// Each key of the part gets the number of the first equal key, or the next free number.
void NumberPart(const KeyPart& part, std::vector<std::uint32_t>& songOf, std::uint32_t& nCount) {
  constexpr std::uint32_t kEmpty = 0xffffffffU;
  const std::size_t nSlots = std::bit_ceil(part.keys.size() * 2 + 1);
  std::vector<std::uint32_t> slots(nSlots, kEmpty);  // index of a key in the part
  for (std::size_t k = 0; k < part.keys.size(); ++k) {
    const KeyPart::Key& key = part.keys[k];
    for (std::size_t i = key.nHash & (nSlots - 1);; i = (i + 1) & (nSlots - 1)) {
      if (slots[i] == kEmpty) {
        slots[i] = static_cast<std::uint32_t>(k);
        songOf[key.nItem] = nCount++;
        break;
      }
      const KeyPart::Key& other = part.keys[slots[i]];
      if (other.nHash == key.nHash && part.Text(slots[i]) == part.Text(k)) {
        songOf[key.nItem] = songOf[other.nItem];
        break;
      }
    }
  }
}

}  // namespace

SongNumbers::SongNumbers(const TrackStore& store, SongSides sides,
                         const std::function<void()>& onKey)
    : m_nEntries(static_cast<std::size_t>(store.ChartCount())) {
  const std::size_t nRecords =
      sides == SongSides::ChartAndLibrary ? static_cast<std::size_t>(store.PlaylistCount()) : 0;
  m_songOf.resize(m_nEntries + nRecords);
  const int nPartBits = std::bit_width(m_songOf.size() / kKeysPerPart);
  std::vector<KeyPart> parts(std::size_t{1} << nPartBits);
  std::string strKey;
  const auto addKey = [&](std::string_view strArtist, std::string_view strTitle,
                          std::size_t nItem) {
    SongKey(strArtist, strTitle, strKey);
    const std::uint64_t nHash = std::hash<std::string_view>{}(strKey);
    KeyPart& part = parts[nPartBits == 0 ? 0 : nHash >> (64 - nPartBits)];
    part.texts += strKey;
    part.keys.push_back({nHash, static_cast<std::uint32_t>(nItem), part.texts.size()});
    onKey();
  };
  for (std::size_t c = 0; c < m_nEntries; ++c) {
    const ChartView entry = store.Chart(static_cast<int>(c));
    addKey(entry.strArtist, entry.strTitle, c);
  }
  for (std::size_t p = 0; p < nRecords; ++p) {
    const PlaylistView record = store.Playlist(static_cast<int>(p));
    addKey(record.strArtist, record.strTitle, m_nEntries + p);
  }
  for (const KeyPart& part : parts) {
    NumberPart(part, m_songOf, m_nCount);
  }
}

}  // namespace velvane
