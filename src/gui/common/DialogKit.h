#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/QtText.h"

namespace velvane {

// Positions are given in dialog units; they become pixels through the dialog font's average
// character width (x / 4) and height (y / 8), so a layout scales with the font.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  int X(int nUnits) const { return (nUnits * m_nBaseX + 2) / 4; }
  int Y(int nUnits) const { return (nUnits * m_nBaseY + 4) / 8; }
  QRect Rect(int x, int y, int nWidth, int nHeight) const;

 private:
  int m_nBaseX;
  int m_nBaseY;
};

// Every control carries its resource number, so tests and the view find it by number.
void SetControlId(QWidget* pWidget, int nId);
int ControlId(const QWidget* pWidget);
QWidget* FindControl(QWidget* pRoot, int nId);
template <typename T>
T* FindControlAs(QWidget* pRoot, int nId) {
  return qobject_cast<T*>(FindControl(pRoot, nId));
}

// The bold Arial of the main window at a height in pixels.
QFont BoldArial(int nPixelHeight);

}  // namespace velvane
