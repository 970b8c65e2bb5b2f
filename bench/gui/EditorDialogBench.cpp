// The playlist editor dialog on a 50,000-record library with 50,000 chart entries: from
// constructing it to the end of the list's first paint. Needs a display; under a virtual one:
//   xvfb-run -a build/bench/gui/EditorDialogBench
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>

#include "BenchLibrary.h"
#include "BenchPorts.h"
#include "core/main/RadioCore.h"
#include "core/ports/Mci.h"
#include "gui/editors/PlaylistEditorDlg.h"

namespace velvane {
namespace {

constexpr int kRecords = 50000;

// Notes the first paint of the widget it watches.
class PaintWatch : public QObject {
 public:
  bool m_bPainted = false;

 protected:
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
    if (pEvent->type() == QEvent::Paint) {
      m_bPainted = true;
    }
    return QObject::eventFilter(pWatched, pEvent);
  }
};

void BM_OpenPlaylistEditorDialog(benchmark::State& state) {
  NoAudio mci;
  FixedClock clock;
  QuietPrompter prompter;
  MapProfile profile({{"IsInstalled", "1"},
                      {"PlaySize", std::to_string(kRecords)},
                      {"ChartSize", std::to_string(kRecords)}});
  RadioCore core(mci, clock, prompter, profile);
  core.OnInitDialog([] {});
  FillBenchLibrary(core.Store(), kRecords);
  double dFirst = -1;  // the very first opening, before any cache is warm
  for (auto _ : state) {
    QElapsedTimer timer;
    timer.start();
    CPlaylistEditorDlg dialog(core);
    PaintWatch watch;
    dialog.List()->viewport()->installEventFilter(&watch);
    dialog.show();
    while (!watch.m_bPainted) {
      QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double dSeconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    state.SetIterationTime(dSeconds);
    if (dFirst < 0) {
      dFirst = dSeconds;
    }
    dialog.hide();
  }
  state.counters["first_ms"] = dFirst * 1000;
}
BENCHMARK(BM_OpenPlaylistEditorDialog)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velvane

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
