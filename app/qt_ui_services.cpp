// Qt implementation of the user-interface services.
#include "app/qt_ui_services.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/help_viewer.h"

namespace rara {

namespace {

QString Title() {
  const QString name = QApplication::applicationDisplayName();
  return name.isEmpty() ? QString("Zovozeri") : name;
}

// Boxes belong to the window the user is looking at (a dialog while one runs).
QWidget* BoxParent() { return QApplication::activeWindow(); }

}  // namespace

TQtUiServices::TQtUiServices() = default;
TQtUiServices::~TQtUiServices() = default;

bool TQtUiServices::Confirm(const QString& text) {
  return QMessageBox::question(BoxParent(), Title(), text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

void TQtUiServices::Information(const QString& text) {
  QMessageBox::information(BoxParent(), Title(), text, QMessageBox::Ok);
}

void TQtUiServices::Error(const QString& text) {
  QMessageBox::critical(BoxParent(), Title(), text, QMessageBox::Ok);
}

void TQtUiServices::Beep() { QApplication::beep(); }

THelpViewer& TQtUiServices::HelpViewer() {
  if (!help_) help_ = std::make_unique<THelpViewer>();
  return *help_;
}

void TQtUiServices::HelpContents() { HelpViewer().ShowContents(); }

void TQtUiServices::HelpTopic(int topic) { HelpViewer().ShowTopic(topic); }

bool TQtUiServices::Print(const QStringList& lines, const QFont& font) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(Title());
  QPrintDialog dialog(&printer, BoxParent());
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  if (dialog.exec() != QDialog::Accepted) return false;

  QPainter painter;
  if (!painter.begin(&printer)) {
    Error("The printer could not be opened.");
    return false;
  }
  // The font is measured on the printer so that point sizes keep their size.
  const QFont printFont(font, &printer);
  painter.setFont(printFont);
  const QFontMetrics metrics(printFont, &printer);
  const int lineHeight = metrics.lineSpacing();
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const int pageHeight = page.height();
  const int pageWidth = page.width();
  int y = 0;
  for (const QString& line : lines) {
    if (y + lineHeight > pageHeight && y > 0) {
      if (!printer.newPage()) {
        painter.end();
        Error("Printing failed.");
        return false;
      }
      y = 0;
    }
    painter.drawText(QRect(0, y, pageWidth, lineHeight), Qt::AlignLeft | Qt::TextSingleLine, line);
    y += lineHeight;
  }
  if (!painter.end()) {
    Error("Printing failed.");
    return false;
  }
  return true;
}

}  // namespace rara
