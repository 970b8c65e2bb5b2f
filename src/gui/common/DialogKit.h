#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>

#include "platform/QtText.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

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

// A control's place in dialog units: left, top, width, height.
struct UnitRect {
  int x;
  int y;
  int nWidth;
  int nHeight;
};

// The number of a control the dialog never looks up (a caption, a group box).
inline constexpr int kNoId = 0;

// Creates the controls of one dialog on `pParent` at their dialog-unit places, each with its
// control id, in the order they are made (which is also their tab order). The units come from
// the parent's font. Arguments follow the order of a dialog template: text, id, place.
class DialogBuilder {
 public:
  explicit DialogBuilder(QWidget* pParent);

  QWidget* Parent() const { return m_pParent; }
  const DialogUnits& Units() const { return m_units; }

  QPushButton* Button(const QString& text, int nId, UnitRect at);
  QLabel* Label(const QString& text, int nId, UnitRect at);
  QLineEdit* Edit(int nId, UnitRect at);
  QCheckBox* CheckBox(const QString& text, int nId, UnitRect at);
  QComboBox* ComboBox(int nId, UnitRect at);
  QListWidget* List(int nId, UnitRect at);
  QProgressBar* ProgressBar(int nId, UnitRect at);
  // Made before the controls inside it, so that they stay above it.
  QGroupBox* Group(const QString& title, UnitRect at);

  // Any other control, made by the caller on Parent().
  template <typename T>
  T* Place(T* pControl, int nId, UnitRect at) {
    PlaceWidget(pControl, nId, at);
    return pControl;
  }

  // Gives the parent its size in dialog units and keeps it there.
  void SetFixedSize(int nWidth, int nHeight);

 private:
  void PlaceWidget(QWidget* pControl, int nId, UnitRect at) const;

  QWidget* m_pParent;
  DialogUnits m_units;
};

}  // namespace velvane
