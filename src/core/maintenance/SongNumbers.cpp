#include "core/maintenance/SongNumbers.h"

#include <algorithm>
#include <array>
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
void SongKey(const std::string& strArtist, const std::string& strTitle, std::string& strKey) {
  strKey.assign(sizeof(std::uint32_t), '\0');
  AppendSameTextKey(strArtist, strKey);
  const auto nLength = static_cast<std::uint32_t>(strKey.size() - sizeof(std::uint32_t));
  std::memcpy(strKey.data(), &nLength, sizeof nLength);
  AppendSameTextKey(strTitle, strKey);
}

std::uint64_t Hash(std::string_view key) {
  return std::hash<std::string_view>{}(key);
}

void Prefetch(const void* pAddress) {
#if defined(__GNUC__)
  __builtin_prefetch(pAddress);
#else
  static_cast<void>(pAddress);
#endif
}

// The first key of each song, numbered in the order seen, in an open-addressed table that
// grows with the songs (not the keys), so it stays small when songs repeat. Only first keys
// are kept, so the texts compared on a hit lie close together.
class SongTable {
 public:
  // The number of the song with this key; a new number if the key is the first of its song.
  std::uint32_t Number(std::string_view key, std::uint64_t nHash) {
    for (std::size_t i = nHash & Mask();; i = (i + 1) & Mask()) {
      Slot& slot = m_slots[i];
      if (slot.nSong == kEmpty) {
        return Add(key, nHash, slot);
      }
      if (slot.nTag == Tag(nHash) && Text(slot.nSong) == key) {
        return slot.nSong;
      }
    }
  }

  // A probe costs a cache miss or two; fetching the slots and then their texts of several keys
  // ahead overlaps those misses instead of waiting for each in turn.
  void PrefetchSlot(std::uint64_t nHash) const { Prefetch(&m_slots[nHash & Mask()]); }
  void PrefetchText(std::uint64_t nHash) const {
    if (const std::uint32_t nSong = m_slots[nHash & Mask()].nSong; nSong != kEmpty) {
      Prefetch(m_texts.data() + Begin(nSong));
    }
  }

  std::uint32_t Count() const { return static_cast<std::uint32_t>(m_ends.size()); }

 private:
  static constexpr std::uint32_t kEmpty = 0xffffffffU;
  struct Slot {
    std::uint32_t nTag = 0;  // high half of the key's hash: most misses end without a compare
    std::uint32_t nSong = kEmpty;
  };
  static std::uint32_t Tag(std::uint64_t nHash) { return static_cast<std::uint32_t>(nHash >> 32); }

  std::size_t Mask() const { return m_slots.size() - 1; }
  std::size_t Begin(std::uint32_t nSong) const { return nSong == 0 ? 0 : m_ends[nSong - 1]; }
  std::string_view Text(std::uint32_t nSong) const {
    return std::string_view(m_texts).substr(Begin(nSong), m_ends[nSong] - Begin(nSong));
  }

  std::uint32_t Add(std::string_view key, std::uint64_t nHash, Slot& slot) {
    slot = {Tag(nHash), Count()};
    m_texts += key;
    m_ends.push_back(m_texts.size());
    if (m_ends.size() * 2 > m_slots.size()) {
      Grow();
    }
    return Count() - 1;
  }

  void Grow() {
    m_slots.assign(m_slots.size() * 2, Slot{});
    for (std::uint32_t nSong = 0; nSong < Count(); ++nSong) {
      const std::uint64_t nHash = Hash(Text(nSong));
      std::size_t i = nHash & Mask();
      while (m_slots[i].nSong != kEmpty) {
        i = (i + 1) & Mask();
      }
      m_slots[i] = {Tag(nHash), nSong};
    }
  }

  std::vector<Slot> m_slots = std::vector<Slot>(1024);
  std::string m_texts;              // the songs' first keys end to end
  std::vector<std::size_t> m_ends;  // end of each song's key in m_texts
};

}  // namespace

SongNumbers::SongNumbers(const TrackStore& store, SongSides sides,
                         const std::function<void()>& onKey)
    : m_nEntries(static_cast<std::size_t>(store.ChartCount())) {
  const std::size_t nRecords =
      sides == SongSides::ChartAndLibrary ? static_cast<std::size_t>(store.PlaylistCount()) : 0;
  m_songOf.resize(m_nEntries + nRecords);
  const auto keyOf = [&](std::size_t nItem, std::string& strKey) {
    if (nItem < m_nEntries) {
      const ChartEntry& entry = store.Chart(static_cast<int>(nItem));
      SongKey(entry.strArtist, entry.strTitle, strKey);
    } else {
      const PlaylistEntry& record = store.Playlist(static_cast<int>(nItem - m_nEntries));
      SongKey(record.strArtist, record.strTitle, strKey);
    }
  };
  // Keys are made and looked up a batch at a time, so each batch's probes are fetched together.
  constexpr std::size_t kBatch = 16;
  std::array<std::string, kBatch> keys;
  std::array<std::uint64_t, kBatch> hashes{};
  SongTable table;
  for (std::size_t nFirst = 0; nFirst < m_songOf.size(); nFirst += kBatch) {
    const std::size_t nSize = std::min(kBatch, m_songOf.size() - nFirst);
    for (std::size_t k = 0; k < nSize; ++k) {
      keyOf(nFirst + k, keys[k]);
      hashes[k] = Hash(keys[k]);
      table.PrefetchSlot(hashes[k]);
    }
    for (std::size_t k = 0; k < nSize; ++k) {
      table.PrefetchText(hashes[k]);
    }
    for (std::size_t k = 0; k < nSize; ++k) {
      m_songOf[nFirst + k] = table.Number(keys[k], hashes[k]);
      onKey();
    }
  }
  m_nCount = table.Count();
}

}  // namespace velvane
