// Icons painted in code on a 24 by 24 design grid, at whatever size and pixel
// ratio a button asks for, so they stay crisp on any screen. The toolbar's
// pictures are drawn this way; the Help picture lives here because the
// dialogs' Help buttons show it too.
#pragma once

#include <functional>

#include <QColor>
#include <QIcon>
#include <QPen>

class QPainter;

namespace rara {

// Turns a picture's colours into the washed-out grey of a disabled button.
struct TIconInk {
  bool disabled = false;
  QColor operator()(const QColor& c) const;
};

// A pen with round joins and caps, the one every picture draws with.
QPen IconPen(const QColor& c, double width);

// Paints one picture on the 24 by 24 grid.
using TIconPainter = std::function<void(QPainter&, const TIconInk&)>;

QIcon PaintedIcon(TIconPainter paint);

// The blue "?" of the toolbar's Help button and of the dialogs' Help buttons.
void DrawHelpPicture(QPainter& p, const TIconInk& ink);
QIcon HelpIcon();

}  // namespace rara
