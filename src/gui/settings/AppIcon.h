#pragma once

#include <QPixmap>

namespace velvane {

// The application icon: a record with a red label, drawn rather than loaded so the dialogs
// need no resource file.
QPixmap DrawAppIcon(int nPixels = 32);

}  // namespace velvane
