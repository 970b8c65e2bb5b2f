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
