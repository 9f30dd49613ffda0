// Line layout on the printed page with QTextLayout.
#include "app/print_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <QTextOption>

#include <vector>

namespace rara {

namespace {

// Where one printed line (a report line or a piece of one) starts and ends.
struct TPiece {
  qsizetype start = 0;
  qsizetype length = 0;
};

// Breaks a line into pieces that fit the width: at blanks where possible,
// else anywhere, so that nothing runs off the page.
std::vector<TPiece> WrapLine(const QString& line, const QFont& font, QPaintDevice* device, qreal width) {
  std::vector<TPiece> pieces;
  if (line.isEmpty()) {
    pieces.push_back({});
    return pieces;
  }
  QTextLayout layout(line, font, device);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine piece = layout.createLine(); piece.isValid(); piece = layout.createLine()) {
    piece.setLineWidth(width);
    pieces.push_back({piece.textStart(), piece.textLength()});
  }
  layout.endLayout();
  return pieces;
}

}  // namespace

bool PrintLines(QPrinter& printer, const QStringList& lines, const QFont& font, QString& error) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = QStringLiteral("The printer could not be opened.");
    return false;
  }
  // Measured on the printer, so that a point size keeps its size on paper.
  const QFont printFont(font, &printer);
  painter.setFont(printFont);
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(printFont, &printer);
  const qreal lineHeight = metrics.lineSpacing();
  const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
  qreal y = 0;
  for (const QString& line : lines) {
    // A continuation starts where its line starts: no report line is cut
    // short, and a wrapped value stays under its own beginning.
    for (const TPiece& piece : WrapLine(line, printFont, &printer, page.width())) {
      if (y > 0 && y + lineHeight > page.height()) {
        if (!printer.newPage()) {
          painter.end();
          error = QStringLiteral("Printing failed.");
          return false;
        }
        y = 0;
      }
      const QString text = line.mid(piece.start, piece.length);
      if (!text.isEmpty()) painter.drawText(QPointF(0, y + metrics.ascent()), text);
      y += lineHeight;
    }
  }
  if (!painter.end()) {
    error = QStringLiteral("Printing failed.");
    return false;
  }
  return true;
}

}  // namespace rara
