// The icon engine behind the painted pictures, and the Help picture.
#include "dialogs/painted_icon.h"

#include <algorithm>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace rara {

namespace {

constexpr double Grid = 24.0;

class TPaintedIconEngine : public QIconEngine {
 public:
  explicit TPaintedIconEngine(TIconPainter paint) : paint_(std::move(paint)) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const double side = std::min(rect.width(), rect.height());
    painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / Grid, side / Grid);
    paint_(*painter, TIconInk{mode == QIcon::Disabled});
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pm(size * scale);
    pm.setDevicePixelRatio(scale);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    paint(&painter, QRect(QPoint(0, 0), size), mode, state);
    return pm;
  }

  QIconEngine* clone() const override { return new TPaintedIconEngine(paint_); }

 private:
  TIconPainter paint_;
};

}  // namespace

QColor TIconInk::operator()(const QColor& c) const {
  if (!disabled) return c;
  const int g = 128 + qGray(c.rgb()) / 3;
  return QColor(g, g, g);
}

QPen IconPen(const QColor& c, double width) {
  QPen pen(c, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

QIcon PaintedIcon(TIconPainter paint) {
  // QIcon takes ownership of its engine.
  return QIcon(new TPaintedIconEngine(std::move(paint)));
}

void DrawHelpPicture(QPainter& p, const TIconInk& ink) {
  p.setPen(IconPen(ink(QColor(10, 50, 120)), 1.2));
  p.setBrush(ink(QColor(40, 110, 210)));
  p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
  QPainterPath q;
  q.moveTo(8.8, 9.3);
  q.cubicTo(8.8, 5.0, 15.6, 5.0, 15.4, 9.3);
  q.cubicTo(15.3, 11.8, 12.0, 11.8, 12.0, 14.6);
  p.setBrush(Qt::NoBrush);
  p.setPen(IconPen(ink(QColor(255, 255, 255)), 2.3));
  p.drawPath(q);
  p.setPen(Qt::NoPen);
  p.setBrush(ink(QColor(255, 255, 255)));
  p.drawEllipse(QPointF(12, 18), 1.4, 1.4);
}

QIcon HelpIcon() { return PaintedIcon(&DrawHelpPicture); }

}  // namespace rara
