// The playlist editor's working copy over a 50,000-record library with 50,000 chart entries:
// opening (every line built), a search that runs to the last line, "Find Chart Entry" over
// every chart entry, "Delete" and "Undo" of a record near the top (the most lines move), and
// "Save And Exit" writing the records back.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchLibrary.h"
#include "BenchPorts.h"
#include "core/db/TrackStore.h"
#include "core/editors/PlaylistEditor.h"

namespace velvane {
namespace {

constexpr int kRecords = 50000;

const TrackStore& Library() {
  static const TrackStore store = [] {
    TrackStore filled;
    FillBenchLibrary(filled, kRecords);
    return filled;
  }();
  return store;
}

void BM_OpenPlaylistEditor(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  for (auto _ : state) {
    PlaylistEditor editor(store, prompter, "bench");
    benchmark::DoNotOptimize(editor.LineCount());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_OpenPlaylistEditor)->Unit(benchmark::kMillisecond);

void BM_SearchToTheLastLine(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  PlaylistEditor editor(store, prompter, "bench");
  const std::string strLast(store.Playlist(kRecords - 1).strTitle);
  for (auto _ : state) {
    editor.OnTopOfList();
    if (!editor.OnSearch(strLast) || editor.Selected() != kRecords - 1) {
      state.SkipWithError("the search did not end on the last line");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SearchToTheLastLine)->Unit(benchmark::kMillisecond);

void BM_FindChartEntry(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;  // every near miss is asked about, and answered no
  PlaylistEditor editor(store, prompter, "bench");
  editor.OnSelChangeList(kRecords / 2);
  for (auto _ : state) {
    editor.OnFindChartEntry();
    benchmark::DoNotOptimize(editor.Field(PlaylistEditor::kChartLink));
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_FindChartEntry)->Unit(benchmark::kMillisecond);

// Deletes the second record: near the top, so the lines after it all move.
bool DeleteNearTop(PlaylistEditor& editor) {
  editor.OnSelChangeList(1);
  return editor.OnDelete();
}

// One "Delete" per iteration, each near the top; the library shrinks by at most the
// iterations (1,000), so every delete moves some 49,000 lines.
void BM_DeleteRecord(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  PlaylistEditor editor(store, prompter, "bench");
  for (auto _ : state) {
    if (!DeleteNearTop(editor)) {
      state.SkipWithError("nothing was deleted");
      break;
    }
  }
  state.counters["lines_left"] = editor.LineCount();
}
BENCHMARK(BM_DeleteRecord)->Unit(benchmark::kMillisecond)->Iterations(1000);

// One "Undo" per iteration of the 1,000 deletes made before the clock starts.
void BM_UndoDelete(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  PlaylistEditor editor(store, prompter, "bench");
  for (int i = 0; i < 1000; ++i) {
    DeleteNearTop(editor);
  }
  for (auto _ : state) {
    if (!editor.OnUndo()) {
      state.SkipWithError("nothing to undo");
      break;
    }
  }
  state.counters["lines_left"] = editor.LineCount();
}
BENCHMARK(BM_UndoDelete)->Unit(benchmark::kMillisecond)->Iterations(1000);

// "Save And Exit" after a delete near the top: every chart link is moved down.
void BM_SaveAfterDelete(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  PlaylistEditor editor(store, prompter, "bench");
  DeleteNearTop(editor);
  for (auto _ : state) {
    benchmark::DoNotOptimize(editor.OnSaveAndExit());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SaveAfterDelete)->Unit(benchmark::kMillisecond);

void BM_SaveAndExit(benchmark::State& state) {
  TrackStore store = Library();
  QuietPrompter prompter;
  PlaylistEditor editor(store, prompter, "bench");
  for (auto _ : state) {
    benchmark::DoNotOptimize(editor.OnSaveAndExit());
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SaveAndExit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane
