#pragma once

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

#include "gui/common/QtText.h"

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
  // The same at `dScale` times the size; each edge is rounded on its own, so controls that
  // touch in dialog units still touch in pixels.
  QRect Rect(int x, int y, int nWidth, int nHeight, double dScale) const;

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

// A font at `dScale` times its size, in pixels or in points as it was given.
QFont ScaledFont(const QFont& font, double dScale);

// A window whose dialog-unit layout follows its size. It keeps each control's dialog-unit
// place and its font as built; Apply re-places every control and scales its font by one
// factor, so the window keeps its proportions at any size.
class ScaledLayout {
 public:
  // The layout is `nWidth` x `nHeight` dialog units of `units`.
  ScaledLayout(const DialogUnits& units, int nWidth, int nHeight);

  // Takes the control with its font as it is now (set the font first).
  void Add(QWidget* pControl, UnitRect at);
  // The whole layout in pixels at a scale.
  QSize Size(double dScale) const;
  // The largest scale at which the layout fits in `room`.
  double ScaleToFit(QSize room) const;
  // Places every control at the scale, the layout's top left at `origin`.
  void Apply(double dScale, QPoint origin);
  double Scale() const { return m_dScale; }

 private:
  struct Item {
    QPointer<QWidget> pControl;
    UnitRect at;
    QFont font;
  };
  DialogUnits m_units;
  int m_nWidth;
  int m_nHeight;
  std::vector<Item> m_items;
  double m_dScale = 1.0;
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
