#include "gui/common/DialogKit.h"

#include <QFontMetrics>
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

}  // namespace velvane
