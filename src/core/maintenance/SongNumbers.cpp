#include "core/maintenance/SongNumbers.h"

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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

// Each song's number and first key, end to end in blocks that never move or regrow: a stored
// key is written once and never copied, and no block is so large that the allocator maps fresh
// pages for it on every build. A key is found by a 32-bit place, so a table slot stays small.
class SongKeys {
 public:
  // The place of the stored song; read back with Song() and Key().
  std::uint32_t Add(std::uint32_t nSong, std::string_view key) {
    const std::size_t nUnits = (kHeader + key.size() + kUnit - 1) / kUnit;
    if (m_blocks.empty() || m_nUsed + nUnits > kBlockUnits) {
      if (m_blocks.size() == kMaxBlocks) {
        throw std::length_error("song keys");
      }
      m_blocks.push_back(std::make_unique_for_overwrite<char[]>(kBlockUnits * kUnit));
      m_nUsed = 0;
    }
    const auto nPlace = static_cast<std::uint32_t>((m_blocks.size() - 1) * kBlockUnits + m_nUsed);
    char* pSong = Record(nPlace);
    const auto nLength = static_cast<std::uint32_t>(key.size());
    std::memcpy(pSong, &nSong, sizeof nSong);
    std::memcpy(pSong + sizeof nSong, &nLength, sizeof nLength);
    std::memcpy(pSong + kHeader, key.data(), key.size());
    m_nUsed += nUnits;
    return nPlace;
  }

  std::uint32_t Song(std::uint32_t nPlace) const {
    std::uint32_t nSong = 0;
    std::memcpy(&nSong, Record(nPlace), sizeof nSong);
    return nSong;
  }
  std::string_view Key(std::uint32_t nPlace) const {
    const char* pSong = Record(nPlace);
    std::uint32_t nLength = 0;
    std::memcpy(&nLength, pSong + sizeof(std::uint32_t), sizeof nLength);
    return {pSong + kHeader, nLength};
  }
  const char* Address(std::uint32_t nPlace) const { return Record(nPlace); }

 private:
  static constexpr std::size_t kHeader = 2 * sizeof(std::uint32_t);  // number, key length
  static constexpr std::size_t kUnit = 8;
  static constexpr std::size_t kBlockUnits = std::size_t{1} << 13;  // 64 KB, more than any key
  static constexpr std::size_t kMaxBlocks = (std::size_t{1} << 32) / kBlockUnits;

  char* Record(std::uint32_t nPlace) const {
    return m_blocks[nPlace / kBlockUnits].get() + nPlace % kBlockUnits * kUnit;
  }

  std::vector<std::unique_ptr<char[]>> m_blocks;
  std::size_t m_nUsed = 0;  // units of the last block
};

// The songs by key in an open-addressed table that grows with the songs (not the keys), so it
// stays small when songs repeat. A slot keeps the low half of the key's hash: it places the
// key, even after growing, and ends most misses without reading a key.
class SongTable {
 public:
  // The number of the song with this key; a new number if the key is the first of its song.
  std::uint32_t Number(std::string_view key, std::uint64_t nHash) {
    const auto nLow = static_cast<std::uint32_t>(nHash);
    for (std::size_t i = nLow & Mask();; i = (i + 1) & Mask()) {
      Slot& slot = m_slots[i];
      if (slot.nPlace == kEmpty) {
        slot = {nLow, m_keys.Add(m_nCount, key)};
        if (std::size_t{++m_nCount} * 2 > m_slots.size()) {
          Grow();
        }
        return m_nCount - 1;
      }
      if (slot.nHash == nLow && m_keys.Key(slot.nPlace) == key) {
        return m_keys.Song(slot.nPlace);
      }
    }
  }

  // A look-up costs a cache miss for the slot and one for the stored key; fetching them some
  // keys ahead overlaps those misses instead of waiting for each in turn.
  void PrefetchSlot(std::uint64_t nHash) const { Prefetch(&m_slots[nHash & Mask()]); }
  void PrefetchKey(std::uint64_t nHash) const {
    if (const std::uint32_t nPlace = m_slots[nHash & Mask()].nPlace; nPlace != kEmpty) {
      Prefetch(m_keys.Address(nPlace));
    }
  }

  std::uint32_t Count() const { return m_nCount; }

 private:
  static constexpr std::uint32_t kEmpty = 0xffffffffU;
  struct Slot {
    std::uint32_t nHash = 0;
    std::uint32_t nPlace = kEmpty;  // in m_keys
  };

  std::size_t Mask() const { return m_slots.size() - 1; }

  void Grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (const Slot& slot : old) {
      if (slot.nPlace != kEmpty) {
        std::size_t i = slot.nHash & Mask();
        while (m_slots[i].nPlace != kEmpty) {
          i = (i + 1) & Mask();
        }
        m_slots[i] = slot;
      }
    }
  }

  std::vector<Slot> m_slots = std::vector<Slot>(1024);
  SongKeys m_keys;
  std::uint32_t m_nCount = 0;
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
      const ChartView entry = store.Chart(static_cast<int>(nItem));
      SongKey(entry.strArtist, entry.strTitle, strKey);
    } else {
      const PlaylistView record = store.Playlist(static_cast<int>(nItem - m_nEntries));
      SongKey(record.strArtist, record.strTitle, strKey);
    }
  };
  // A key's slot is fetched kAhead keys before its stored key, and that kAhead keys before the
  // look-up, so by then both are in the cache. The keys in flight wait in a ring.
  constexpr std::size_t kAhead = 16;
  constexpr std::size_t kRing = 2 * kAhead;
  std::array<std::string, kRing> keys;
  std::array<std::uint64_t, kRing> hashes{};
  SongTable table;
  const std::size_t nItems = m_songOf.size();
  for (std::size_t i = 0; i < nItems + kRing; ++i) {
    if (i >= kRing) {  // the look-up frees ring place i % kRing for key i
      const std::size_t nItem = i - kRing;
      m_songOf[nItem] = table.Number(keys[i % kRing], hashes[i % kRing]);
      onKey();
    }
    if (i >= kAhead && i - kAhead < nItems) {
      table.PrefetchKey(hashes[(i - kAhead) % kRing]);
    }
    if (i < nItems) {
      keyOf(i, keys[i % kRing]);
      hashes[i % kRing] = Hash(keys[i % kRing]);
      table.PrefetchSlot(hashes[i % kRing]);
    }
  }
  m_nCount = table.Count();
}

}  // namespace velvane
