// The library import: files planned and placed per second over a collection of tagged files
// (read by TagLib, placed by hard links), and the memory a plan of 100,000 files takes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>

#include "core/db/NativeFile.h"
#include "core/libraryimport/LibraryImport.h"
#include "core/text/Text.h"
#include "platform/TagLibTagReader.h"
#include "platform/TaggedAudio.h"

// Every allocation of the program counted, so that a plan's memory can be told.
namespace {
std::atomic<long long> g_nBytesInUse{0};
std::atomic<long long> g_nPeakBytes{0};
}  // namespace

void* operator new(std::size_t nBytes) {
  void* p = std::malloc(nBytes == 0 ? 1 : nBytes);
  if (p == nullptr) {
    throw std::bad_alloc();
  }
  const long long nNow = g_nBytesInUse += static_cast<long long>(malloc_usable_size(p));
  long long nPeak = g_nPeakBytes.load();
  while (nNow > nPeak && !g_nPeakBytes.compare_exchange_weak(nPeak, nNow)) {
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (p != nullptr) {
    g_nBytesInUse -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
  }
}
void operator delete(void* p, std::size_t /*nBytes*/) noexcept {
  operator delete(p);
}

namespace velvane {
namespace {

namespace fs = std::filesystem;

constexpr int kAlbums = 100;
constexpr int kTracksPerAlbum = 20;
constexpr std::size_t kCollectionFiles = 2000;
static_assert(kCollectionFiles == kAlbums * kTracksPerAlbum);

fs::path BenchFolder(const fs::path& base, const char* pszName) {
  fs::path folder = base / pszName;
  fs::create_directories(folder);
  return folder;
}

// 2,000 files in Artist/Album folders, a third each mp3, flac and wav, with artist, title, disc
// and track tags; made once and kept in the temp folder, like the analysis benchmark's tunes.
const fs::path& Collection() {
  static const fs::path path = [] {
    const fs::path root = BenchFolder(fs::temp_directory_path(), "velvane-bench-import");
    fs::path collection = root / "collection";
    if (fs::exists(root / "complete")) {
      return collection;
    }
    fs::remove_all(collection);
    WriteSineWav((root / "tune.wav").string(), 2.0, 440, 0.5);
    for (const char* pszExtension : {"mp3", "flac"}) {
      const std::string strCommand = "sox '" + (root / "tune.wav").string() + "' '" +
                                     (root / "tune.").string() + pszExtension + "' 2>/dev/null";
      if (std::system(strCommand.c_str()) != 0) {  // no sox: WAV files only
        fs::copy_file(root / "tune.wav", root / ("tune." + std::string(pszExtension)),
                      fs::copy_options::overwrite_existing);
      }
    }
    const char* const kExtensions[] = {"mp3", "flac", "wav"};
    for (int a = 0; a < kAlbums; ++a) {
      const std::string strArtist = "Artist " + std::to_string(a % 37);
      const fs::path album =
          BenchFolder(collection / strArtist, ("Album " + std::to_string(a)).c_str());
      for (int t = 0; t < kTracksPerAlbum; ++t) {
        const char* pszExtension = kExtensions[(a + t) % 3];
        const fs::path file = album / (FormatInt(t, 2) + " track." + pszExtension);
        fs::copy_file(root / ("tune." + std::string(pszExtension)), file);
        WriteTags(file, strArtist, "Title " + std::to_string(a * 100 + t), 1 + t / 10, t % 10);
      }
    }
    std::ofstream(root / "complete") << "";
    return collection;
  }();
  return path;
}

void BM_PlanAndPlace(benchmark::State& state) {
  const std::string strSource = Utf8FromPath(Collection());
  const fs::path music = BenchFolder(fs::temp_directory_path(), "velvane-bench-import-music");
  TagLibTagReader tags;
  TrackStore store;
  store.Allocate(100000, 10);
  const ImportedFiles imported;
  std::size_t nFiles = 0;
  for (auto _ : state) {
    const LibraryImportPlan plan =
        PlanLibraryImport({strSource}, store, imported, Utf8FromPath(music / ""), &tags);
    LibraryImportPlacement placement =
        PlaceLibraryImport(plan, Utf8FromPath(music / ""), PlaceMethod::kLink);
    nFiles = placement.placed.size();
    if (!plan.strRefusal.empty() || nFiles != kCollectionFiles ||
        placement.nHardLinks != static_cast<int>(nFiles)) {
      state.SkipWithError("not every file was placed by a hard link");
      break;
    }
    state.PauseTiming();
    UndoLibraryImport(placement);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * nFiles));
}
BENCHMARK(BM_PlanAndPlace)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// 100,000 empty files named as "TT - Artist - Title" (so the names are read), 100 to a
// folder, in the memory file system where there is one: made for the run, removed after.
struct LargeCollection {
  LargeCollection() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    root = BenchFolder(base, "velvane-bench-import-100k");
    for (int f = 0; f < kFiles; ++f) {
      const fs::path album =
          root / ("Artist " + std::to_string(f / 1000)) / ("Album " + std::to_string(f / 100));
      if (f % 100 == 0) {
        fs::create_directories(album);
      }
      std::ofstream(album / (FormatInt(f % 100 + 1, 2) + " - Artist " + std::to_string(f / 1000) +
                             " - Title " + std::to_string(f) + ".mp3"));
    }
  }
  ~LargeCollection() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  LargeCollection(const LargeCollection&) = delete;
  LargeCollection& operator=(const LargeCollection&) = delete;

  static constexpr int kFiles = 100000;
  fs::path root;
};

// What a plan of 100,000 files holds once made, and the most the planning held at once.
// 100,000 files need more than the 999 CDs, so the plan is refused, but only after all of it
// was made.
void BM_PlanMemory(benchmark::State& state) {
  static const LargeCollection collection;
  const fs::path music = BenchFolder(fs::temp_directory_path(), "velvane-bench-import-music");
  TagLibTagReader tags;
  TrackStore store;
  store.Allocate(200000, 10);
  const ImportedFiles imported;
  long long nKept = 0;
  long long nPeak = 0;
  for (auto _ : state) {
    const long long nBefore = g_nBytesInUse.load();
    g_nPeakBytes = nBefore;
    const LibraryImportPlan plan = PlanLibraryImport({Utf8FromPath(collection.root)}, store,
                                                     imported, Utf8FromPath(music / ""), &tags);
    nKept = g_nBytesInUse.load() - nBefore;
    nPeak = g_nPeakBytes.load() - nBefore;
    if (plan.tracks.size() != LargeCollection::kFiles) {
      state.SkipWithError("not every file was planned");
      break;
    }
  }
  state.counters["kept_bytes_per_file"] = static_cast<double>(nKept) / LargeCollection::kFiles;
  state.counters["peak_bytes_per_file"] = static_cast<double>(nPeak) / LargeCollection::kFiles;
  state.SetItemsProcessed(state.iterations() * LargeCollection::kFiles);
}
BENCHMARK(BM_PlanMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace velvane
