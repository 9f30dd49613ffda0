// Toolbar pictures painted in code on a 24 by 24 design grid; the Help
// picture is the one the dialogs share.
#include "app/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>

#include "dialogs/painted_icon.h"

namespace rara {

namespace {

using TInk = TIconInk;

QPen Pen(const QColor& c, double width) { return IconPen(c, width); }

// The elliptic curve y^2 = x^3 - x + 1 look: an open branch through the grid.
QPainterPath CurvePath() {
  QPainterPath path;
  path.moveTo(17.5, 2.5);
  path.cubicTo(12.0, 6.0, 4.0, 7.0, 4.0, 12.0);
  path.cubicTo(4.0, 17.0, 12.0, 18.0, 17.5, 21.5);
  return path;
}

void DrawPage(QPainter& p, const TInk& ink, const QRectF& r) {
  p.setPen(Pen(ink(QColor(70, 70, 70)), 1.2));
  p.setBrush(ink(QColor(255, 255, 255)));
  p.drawRect(r);
  p.setPen(Pen(ink(QColor(120, 140, 170)), 1.0));
  for (double y = r.top() + 3.5; y < r.bottom() - 2; y += 3.0)
    p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - 2.5, y));
}

void Draw(QPainter& p, TToolPicture picture, const TInk& ink) {
  switch (picture) {
    case TToolPicture::Exit: {
      p.setPen(Pen(ink(QColor(110, 70, 30)), 1.4));
      p.setBrush(ink(QColor(200, 150, 90)));
      p.drawRect(QRectF(3.5, 2.5, 10, 19));
      p.setBrush(ink(QColor(60, 40, 20)));
      p.drawEllipse(QPointF(11.2, 12), 0.9, 0.9);
      p.setPen(Pen(ink(QColor(0, 130, 0)), 2.4));
      p.drawLine(QPointF(12, 12), QPointF(21, 12));
      p.drawLine(QPointF(17.5, 8.5), QPointF(21, 12));
      p.drawLine(QPointF(17.5, 15.5), QPointF(21, 12));
      break;
    }
    case TToolPicture::Format: {
      // Three sliders: the options of the display.
      const double knobs[3] = {8, 16, 11};
      for (int i = 0; i < 3; ++i) {
        const double y = 5.5 + 6.5 * i;
        p.setPen(Pen(ink(QColor(90, 90, 90)), 1.6));
        p.drawLine(QPointF(3, y), QPointF(21, y));
        p.setPen(Pen(ink(QColor(20, 60, 140)), 1.2));
        p.setBrush(ink(QColor(90, 150, 230)));
        p.drawRoundedRect(QRectF(knobs[i] - 2, y - 3, 4, 6), 1, 1);
      }
      break;
    }
    case TToolPicture::NewParams: {
      // A calculator: the parameter search.
      p.setPen(Pen(ink(QColor(50, 50, 70)), 1.3));
      p.setBrush(ink(QColor(215, 215, 225)));
      p.drawRoundedRect(QRectF(4.5, 2.5, 15, 19), 2, 2);
      p.setBrush(ink(QColor(150, 200, 150)));
      p.drawRect(QRectF(6.5, 4.5, 11, 4.5));
      p.setPen(Qt::NoPen);
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) {
          p.setBrush(ink(col == 2 && row == 2 ? QColor(210, 80, 40) : QColor(70, 70, 90)));
          p.drawRect(QRectF(6.5 + 4 * col, 11 + 3.5 * row, 3, 2.5));
        }
      break;
    }
    case TToolPicture::NewCurve:
    case TToolPicture::NewPoint: {
      p.setPen(Pen(ink(QColor(150, 150, 150)), 1.0));
      p.drawLine(QPointF(2, 12), QPointF(22, 12));
      p.drawLine(QPointF(8, 2), QPointF(8, 22));
      p.setBrush(Qt::NoBrush);
      p.setPen(Pen(ink(QColor(20, 70, 170)), 2.2));
      p.drawPath(CurvePath());
      if (picture == TToolPicture::NewPoint) {
        p.setPen(Pen(ink(QColor(120, 0, 0)), 1.0));
        p.setBrush(ink(QColor(230, 30, 30)));
        p.drawEllipse(QPointF(15.2, 4.1), 3.2, 3.2);
      }
      break;
    }
    case TToolPicture::Save: {
      p.setPen(Pen(ink(QColor(20, 40, 90)), 1.3));
      p.setBrush(ink(QColor(50, 90, 170)));
      QPainterPath body;
      body.moveTo(3.5, 3.5);
      body.lineTo(17.5, 3.5);
      body.lineTo(20.5, 6.5);
      body.lineTo(20.5, 20.5);
      body.lineTo(3.5, 20.5);
      body.closeSubpath();
      p.drawPath(body);
      p.setBrush(ink(QColor(235, 235, 235)));
      p.drawRect(QRectF(6.5, 3.5, 10, 6));
      p.setBrush(ink(QColor(50, 90, 170)));
      p.drawRect(QRectF(13, 4.5, 2, 4));
      p.setBrush(ink(QColor(255, 255, 255)));
      p.drawRect(QRectF(6, 13, 12, 7.5));
      break;
    }
    case TToolPicture::Print: {
      DrawPage(p, ink, QRectF(6.5, 2.5, 11, 8));
      p.setPen(Pen(ink(QColor(60, 60, 60)), 1.3));
      p.setBrush(ink(QColor(170, 170, 175)));
      p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8), 1.5, 1.5);
      p.setBrush(ink(QColor(255, 255, 255)));
      p.drawRect(QRectF(6.5, 14.5, 11, 7));
      p.setPen(Pen(ink(QColor(0, 160, 0)), 1.6));
      p.drawPoint(QPointF(18.5, 12));
      break;
    }
    case TToolPicture::Copy: {
      DrawPage(p, ink, QRectF(3.5, 2.5, 11, 14));
      DrawPage(p, ink, QRectF(9.5, 7.5, 11, 14));
      break;
    }
    case TToolPicture::Clear: {
      DrawPage(p, ink, QRectF(4.5, 2.5, 13, 18));
      p.setPen(Pen(ink(QColor(210, 20, 20)), 2.6));
      p.drawLine(QPointF(11, 11), QPointF(20.5, 20.5));
      p.drawLine(QPointF(20.5, 11), QPointF(11, 20.5));
      break;
    }
    case TToolPicture::Help:
      DrawHelpPicture(p, ink);
      break;
  }
}

}  // namespace

QIcon ToolIcon(TToolPicture picture) {
  return PaintedIcon([picture](QPainter& p, const TIconInk& ink) { Draw(p, picture, ink); });
}

}  // namespace rara
