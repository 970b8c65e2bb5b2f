#include <QApplication>
#include <QLabel>

#include "core/settings/ProgramInfo.h"

// Until the main window exists the program opens a plain window naming what is built.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel window(QStringLiteral("<h2>%1</h2><p>Built so far: settings store, track databases "
                               "(playlist, charts, number ones), play log, error log and wish "
                               "list, and velvane-tool.</p><p>The main window comes next.</p>")
                    .arg(QString::fromUtf8(velvane::kProgramTitle)));
  window.setWindowTitle(QString::fromUtf8(velvane::kProgramTitle));
  window.setMargin(24);
  window.setWordWrap(true);
  window.resize(640, 220);
  window.show();
  return app.exec();
}
