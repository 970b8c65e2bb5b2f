#include "gui/common/QtText.h"

#include "core/text/Text.h"

namespace velvane {

QString ToDisplay(const std::string& strBytes) {
  return QString::fromStdString(DisplayUtf8(strBytes));
}

std::string FromTyped(const QString& text) {
  return text.toStdString();
}

}  // namespace velvane
