#include "gui/settings/AppIcon.h"

#include <QPainter>

namespace velvane {

QPixmap DrawAppIcon(int nPixels) {
  QPixmap pixmap(nPixels, nPixels);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF whole(0.5, 0.5, nPixels - 1.0, nPixels - 1.0);
  const QPointF centre = whole.center();
  const double dRadius = whole.width() / 2;

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 20, 24));
  painter.drawEllipse(centre, dRadius, dRadius);

  // Grooves, lighter towards the rim so they read at 16 pixels as well.
  painter.setBrush(Qt::NoBrush);
  for (const double dFactor : {0.86, 0.72, 0.58}) {
    painter.setPen(QPen(QColor(90, 90, 100), 1.0));
    painter.drawEllipse(centre, dRadius * dFactor, dRadius * dFactor);
  }

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(200, 30, 40));
  painter.drawEllipse(centre, dRadius * 0.4, dRadius * 0.4);
  painter.setBrush(QColor(245, 240, 230));
  painter.drawEllipse(centre, dRadius * 0.08 + 0.5, dRadius * 0.08 + 0.5);
  return pixmap;
}

}  // namespace velvane
