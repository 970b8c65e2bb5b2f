#include "core/maintenance/SongNumbers.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/maintenance/Prefetch.h"
#include "core/search/TextMatch.h"

namespace velvane {

// The songs are numbered as a partitioned hash join. One table of every song outgrows the
// processor's cache from some tens of thousands of songs on, and then every look-up waits for
// memory, so the cost per key would keep rising with the library. Instead a pass in item order
// makes each key and deals it, by the top bits of its hash, to a partition: equal keys always
// meet in the same one, and a partition's keys and its small table fit in the cache. Each
// partition then numbers its keys on its own, and the numbers are gathered back into item
// order. Every pass reads and writes memory in order, so a key costs about the same at any
// size.
//
// The dealt keys are a copy of the keys, some 50 bytes each, which for a million records and
// a million chart entries would hold 100 MB at once. So the items are dealt in two rounds, half
// of them each, and a partition hands the songs it has found, each with its first key and
// number, to the same partition of the next round, ahead of that round's keys.

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

// The partition comes from the top bits and the table slot from the low ones, so the hash is
// mixed once more: not every library's std::hash spreads its top bits.
std::uint64_t Hash(std::string_view key) {
  std::uint64_t nHash = std::hash<std::string_view>{}(key);
  nHash ^= nHash >> 33;
  nHash *= 0xff51afd7ed558ccdULL;
  return nHash ^ (nHash >> 33);
}

// About this many keys fall to a partition in all: a round's share of them and the table stay
// in a core's own cache while the partition is numbered. The dealing pass writes into every
// partition at once, so their number is capped to keep its write positions cached; at the cap,
// a million records and a million entries give some 8,000 keys a partition, and a round's
// share and the table take some 300 KB.
constexpr std::size_t kKeysPerPartition = 4096;
constexpr int kMaxPartitionBits = 8;
constexpr std::size_t kRounds = 2;

int PartitionBits(std::size_t nItems) {
  const auto nBits = nItems == 0 ? 0 : std::bit_width((nItems - 1) / kKeysPerPartition);
  return std::min(static_cast<int>(nBits), kMaxPartitionBits);
}

// The keys dealt to the partitions: each partition's in the order they were added, each key as
// the low half of its hash, its length and its bytes, end to end in chunks that never move.
class KeyPartitions {
 public:
  explicit KeyPartitions(std::size_t nPartitions)
      : m_ends(nPartitions), m_chunks(nPartitions), m_counts(nPartitions) {}

  std::size_t Size() const { return m_ends.size(); }
  std::size_t Count(std::size_t nPartition) const { return m_counts[nPartition]; }

  // Adds a key in the dealing pass.
  void Add(std::size_t nPartition, std::uint32_t nHash, std::string_view key) {
    AddHandedOn(nPartition, nHash, key);
    // The partition's next key comes only after keys for the others. Every partition is
    // written at once, more streams than the processor follows by itself, so each would wait
    // for its next line to be read before writing to it; asked for now, the line is there then.
    const End& end = m_ends[nPartition];
    if (end.pLimit - end.pNext > kLine) {
      PrefetchForWrite(end.pNext + kLine);
    }
  }

  // Adds a song handed on: these are written one partition after the other.
  void AddHandedOn(std::size_t nPartition, std::uint32_t nHash, std::string_view key) {
    const End& end = m_ends[nPartition];
    const std::size_t nBytes = RecordBytes(key.size());
    if (static_cast<std::size_t>(end.pLimit - end.pNext) < nBytes) {
      NewChunk(nPartition, nBytes);
    }
    Write(nPartition, nHash, key);
  }

  // Calls visit(nHash, key) for each key of the partition in the order they were added.
  template <typename Visit>
  void ForEach(std::size_t nPartition, const Visit& visit) const {
    for (const Chunk& chunk : m_chunks[nPartition]) {
      const char* pEnd =
          &chunk == &m_chunks[nPartition].back() ? m_ends[nPartition].pNext : chunk.pEnd;
      for (const char* pRecord = chunk.pBytes.get(); pRecord < pEnd;) {
        std::uint32_t nHash = 0;
        std::uint32_t nLength = 0;
        std::memcpy(&nHash, pRecord, sizeof nHash);
        std::memcpy(&nLength, pRecord + sizeof nHash, sizeof nLength);
        visit(nHash, std::string_view(pRecord + kHeader, nLength));
        pRecord += RecordBytes(nLength);
      }
    }
  }

  // Frees the partition's keys once they are numbered, for the next round.
  void Release(std::size_t nPartition) {
    std::vector<Chunk>().swap(m_chunks[nPartition]);
    m_ends[nPartition] = {};
    m_counts[nPartition] = 0;
  }

 private:
  static constexpr std::size_t kHeader = 2 * sizeof(std::uint32_t);  // hash, key length
  static constexpr std::ptrdiff_t kLine = 64;
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 14;

  // Where each partition's next key goes; kept apart from the chunk lists, so that the dealing
  // pass touches one small array.
  struct End {
    char* pNext = nullptr;
    char* pLimit = nullptr;
  };
  struct Chunk {
    std::unique_ptr<char[]> pBytes;
    const char* pEnd;  // of its keys, once the next chunk is begun
  };

  static std::size_t RecordBytes(std::size_t nKey) {
    return (kHeader + nKey + kHeader - 1) / kHeader * kHeader;
  }

  // Writes the key at the partition's end, where there is room for it.
  void Write(std::size_t nPartition, std::uint32_t nHash, std::string_view key) {
    End& end = m_ends[nPartition];
    const auto nLength = static_cast<std::uint32_t>(key.size());
    std::memcpy(end.pNext, &nHash, sizeof nHash);
    std::memcpy(end.pNext + sizeof nHash, &nLength, sizeof nLength);
    std::memcpy(end.pNext + kHeader, key.data(), key.size());
    end.pNext += RecordBytes(key.size());
    ++m_counts[nPartition];
  }

  void NewChunk(std::size_t nPartition, std::size_t nBytes) {
    End& end = m_ends[nPartition];
    std::vector<Chunk>& chunks = m_chunks[nPartition];
    if (!chunks.empty()) {
      chunks.back().pEnd = end.pNext;
    }
    const std::size_t nSize = std::max(kChunkBytes, nBytes);
    chunks.push_back({std::make_unique_for_overwrite<char[]>(nSize), nullptr});
    end.pNext = chunks.back().pBytes.get();
    end.pLimit = end.pNext + nSize;
  }

  std::vector<End> m_ends;
  std::vector<std::vector<Chunk>> m_chunks;
  std::vector<std::size_t> m_counts;  // keys
};

// Numbers one partition's songs in an open-addressed table. A slot keeps the low half of the
// key's hash, which ends most misses without comparing keys.
class PartitionTable {
 public:
  // Empties the table for a partition of `nKeys` keys, songs handed on included.
  void Reset(std::size_t nKeys) {
    m_slots.assign(std::bit_ceil(std::max<std::size_t>(2 * nKeys, 16)), Slot{});
    m_firstKeys.clear();
    m_numbers.clear();
  }

  // Takes a song found in an earlier round.
  void Add(std::uint32_t nHash, std::string_view key, std::uint32_t nNumber) {
    std::size_t i = nHash & Mask();
    while (m_slots[i].nSong != kEmpty) {
      i = (i + 1) & Mask();
    }
    AddAt(i, nHash, key, nNumber);
  }

  // The number of the song with this key. If the key is the first of its song, the song takes
  // `nNext`, which moves on.
  std::uint32_t Number(std::uint32_t nHash, std::string_view key, std::uint32_t& nNext) {
    for (std::size_t i = nHash & Mask();; i = (i + 1) & Mask()) {
      const Slot& slot = m_slots[i];
      if (slot.nSong == kEmpty) {
        AddAt(i, nHash, key, nNext);
        return nNext++;
      }
      if (slot.nHash == nHash && m_firstKeys[slot.nSong] == key) {
        return m_numbers[slot.nSong];
      }
    }
  }

  // Hands the songs on to the next round: their keys to `next`, their numbers to `numbers`.
  void HandOn(std::size_t nPartition, KeyPartitions& next,
              std::vector<std::uint32_t>& numbers) const {
    for (const Slot& slot : m_slots) {
      if (slot.nSong != kEmpty) {
        next.AddHandedOn(nPartition, slot.nHash, m_firstKeys[slot.nSong]);
        numbers.push_back(m_numbers[slot.nSong]);
      }
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xffffffffU;
  struct Slot {
    std::uint32_t nHash = 0;
    std::uint32_t nSong = kEmpty;  // in the partition
  };

  std::size_t Mask() const { return m_slots.size() - 1; }

  void AddAt(std::size_t i, std::uint32_t nHash, std::string_view key, std::uint32_t nNumber) {
    m_slots[i] = {nHash, static_cast<std::uint32_t>(m_firstKeys.size())};
    m_firstKeys.push_back(key);
    m_numbers.push_back(nNumber);
  }

  std::vector<Slot> m_slots;
  std::vector<std::string_view> m_firstKeys;  // by song, among the partition's dealt keys
  std::vector<std::uint32_t> m_numbers;       // by song
};

}  // namespace

SongNumbers::SongNumbers(const TrackStore& store, SongSides sides,
                         const std::function<void()>& onKey)
    : m_nEntries(static_cast<std::size_t>(store.ChartCount())) {
  const std::size_t nRecords =
      sides == SongSides::ChartAndLibrary ? static_cast<std::size_t>(store.PlaylistCount()) : 0;
  const std::size_t nItems = m_nEntries + nRecords;
  m_songOf.resize(nItems);

  const int nBits = PartitionBits(nItems);
  const std::size_t nPartitions = std::size_t{1} << nBits;
  const std::size_t nRoundItems = std::max<std::size_t>((nItems + kRounds - 1) / kRounds, 1);
  KeyPartitions partitions(nPartitions);
  KeyPartitions next(nPartitions);
  // The songs handed on, by partition: their numbers, in the order of their keys.
  std::vector<std::vector<std::uint32_t>> handedOn(nPartitions);
  std::vector<std::vector<std::uint32_t>> nextHandedOn(nPartitions);
  std::vector<std::uint16_t> partitionOf(std::min(nItems, nRoundItems));
  // A partition's numbers of the round's keys wait, in its keys' order, in a stretch of their
  // own.
  std::vector<std::uint32_t> numbers(partitionOf.size());
  std::vector<std::size_t> nextOf(nPartitions);
  PartitionTable table;
  std::string strKey;
  for (std::size_t nFirst = 0; nFirst < nItems; nFirst += nRoundItems) {
    const std::size_t nEnd = std::min(nItems, nFirst + nRoundItems);
    for (std::size_t i = nFirst; i < nEnd; ++i) {
      if (i < m_nEntries) {
        const ChartView entry = store.Chart(static_cast<int>(i));
        SongKey(entry.strArtist, entry.strTitle, strKey);
      } else {
        const PlaylistView record = store.Playlist(static_cast<int>(i - m_nEntries));
        SongKey(record.strArtist, record.strTitle, strKey);
      }
      const std::uint64_t nHash = Hash(strKey);
      const auto nPartition =
          nBits == 0 ? std::size_t{0} : static_cast<std::size_t>(nHash >> (64 - nBits));
      partitions.Add(nPartition, static_cast<std::uint32_t>(nHash), strKey);
      partitionOf[i - nFirst] = static_cast<std::uint16_t>(nPartition);
      onKey();
    }

    const bool bLastRound = nEnd == nItems;
    std::size_t nAt = 0;
    for (std::size_t p = 0; p < nPartitions; ++p) {
      nextOf[p] = nAt;
      const std::vector<std::uint32_t>& songs = handedOn[p];
      table.Reset(partitions.Count(p));
      std::size_t nKey = 0;
      partitions.ForEach(p, [&](std::uint32_t nHash, std::string_view key) {
        if (nKey < songs.size()) {
          table.Add(nHash, key, songs[nKey++]);
        } else {
          numbers[nAt++] = table.Number(nHash, key, m_nCount);
        }
      });
      if (!bLastRound) {
        table.HandOn(p, next, nextHandedOn[p]);
      }
      partitions.Release(p);
      std::vector<std::uint32_t>().swap(handedOn[p]);
    }
    std::swap(partitions, next);
    std::swap(handedOn, nextHandedOn);

    // Each item takes the next number of its partition, since the keys were dealt in item
    // order. The stretches are read side by side, again more streams than the processor
    // follows, so each asks a line ahead for itself.
    constexpr std::size_t kAhead = 64 / sizeof(std::uint32_t);
    for (std::size_t i = nFirst; i < nEnd; ++i) {
      const std::size_t nNumber = nextOf[partitionOf[i - nFirst]]++;
      if (nNumber + kAhead < nAt) {
        PrefetchForRead(&numbers[nNumber + kAhead]);
      }
      m_songOf[i] = numbers[nNumber];
    }
  }
}

}  // namespace velvane
