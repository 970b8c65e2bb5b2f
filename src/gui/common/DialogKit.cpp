#include "gui/common/DialogKit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace velvane {

namespace {

const char* const kControlIdProperty = "controlId";

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m_nBaseX = (metrics.horizontalAdvance(sample) / 26 + 1) / 2;
  m_nBaseY = metrics.height();
}

QRect DialogUnits::Rect(int x, int y, int nWidth, int nHeight) const {
  return QRect(X(x), Y(y), X(nWidth), Y(nHeight));
}

QRect DialogUnits::Rect(int x, int y, int nWidth, int nHeight, double dScale) const {
  const auto edgeX = [&](int nUnits) {
    return static_cast<int>(std::lround(nUnits * m_nBaseX * dScale / 4));
  };
  const auto edgeY = [&](int nUnits) {
    return static_cast<int>(std::lround(nUnits * m_nBaseY * dScale / 8));
  };
  const int nLeft = edgeX(x);
  const int nTop = edgeY(y);
  return QRect(nLeft, nTop, edgeX(x + nWidth) - nLeft, edgeY(y + nHeight) - nTop);
}

QFont ScaledFont(const QFont& font, double dScale) {
  QFont scaled = font;
  if (font.pixelSize() > 0) {
    scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pixelSize() * dScale))));
  } else {
    scaled.setPointSizeF(std::max(1.0, font.pointSizeF() * dScale));
  }
  return scaled;
}

ScaledLayout::ScaledLayout(const DialogUnits& units, int nWidth, int nHeight)
    : m_units(units), m_nWidth(nWidth), m_nHeight(nHeight) {}

void ScaledLayout::Add(QWidget* pControl, UnitRect at) {
  m_items.push_back({pControl, at, pControl->font()});
}

QSize ScaledLayout::Size(double dScale) const {
  return m_units.Rect(0, 0, m_nWidth, m_nHeight, dScale).size();
}

double ScaledLayout::ScaleToFit(QSize room) const {
  const QSize natural = Size(1.0);
  return std::min(static_cast<double>(room.width()) / natural.width(),
                  static_cast<double>(room.height()) / natural.height());
}

void ScaledLayout::Apply(double dScale, QPoint origin) {
  m_dScale = dScale;
  for (const Item& item : m_items) {
    if (item.pControl == nullptr) {
      continue;
    }
    item.pControl->setGeometry(
        m_units.Rect(item.at.x, item.at.y, item.at.nWidth, item.at.nHeight, dScale)
            .translated(origin));
    item.pControl->setFont(ScaledFont(item.font, dScale));
  }
}

void SetControlId(QWidget* pWidget, int nId) {
  pWidget->setProperty(kControlIdProperty, nId);
}

int ControlId(const QWidget* pWidget) {
  const QVariant id = pWidget->property(kControlIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

QWidget* FindControl(QWidget* pRoot, int nId) {
  for (QWidget* pChild : pRoot->findChildren<QWidget*>()) {
    if (ControlId(pChild) == nId) {
      return pChild;
    }
  }
  return nullptr;
}

QFont BoldArial(int nPixelHeight) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(nPixelHeight);
  font.setBold(true);
  return font;
}

DialogBuilder::DialogBuilder(QWidget* pParent) : m_pParent(pParent), m_units(pParent->font()) {}

QPushButton* DialogBuilder::Button(const QString& text, int nId, UnitRect at) {
  return Place(new QPushButton(text, m_pParent), nId, at);
}

QLabel* DialogBuilder::Label(const QString& text, int nId, UnitRect at) {
  return Place(new QLabel(text, m_pParent), nId, at);
}

QLineEdit* DialogBuilder::Edit(int nId, UnitRect at) {
  return Place(new QLineEdit(m_pParent), nId, at);
}

QCheckBox* DialogBuilder::CheckBox(const QString& text, int nId, UnitRect at) {
  return Place(new QCheckBox(text, m_pParent), nId, at);
}

QComboBox* DialogBuilder::ComboBox(int nId, UnitRect at) {
  return Place(new QComboBox(m_pParent), nId, at);
}

QListWidget* DialogBuilder::List(int nId, UnitRect at) {
  return Place(new QListWidget(m_pParent), nId, at);
}

QProgressBar* DialogBuilder::ProgressBar(int nId, UnitRect at) {
  return Place(new QProgressBar(m_pParent), nId, at);
}

QGroupBox* DialogBuilder::Group(const QString& title, UnitRect at) {
  return Place(new QGroupBox(title, m_pParent), kNoId, at);
}

void DialogBuilder::SetFixedSize(int nWidth, int nHeight) {
  m_pParent->setFixedSize(m_units.X(nWidth), m_units.Y(nHeight));
}

void DialogBuilder::PlaceWidget(QWidget* pControl, int nId, UnitRect at) const {
  pControl->setGeometry(m_units.Rect(at.x, at.y, at.nWidth, at.nHeight));
  if (nId != kNoId) {
    SetControlId(pControl, nId);
  }
}

}  // namespace velvane
