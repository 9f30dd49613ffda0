// Qt implementation of the user-interface services.
#include "app/qt_ui_services.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "app/help_viewer.h"
#include "app/print_text.h"

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
  // Printing to a PDF file stays: without a printer it is the only paper.
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  if (dialog.exec() != QDialog::Accepted) return false;

  QString error;
  if (!PrintLines(printer, lines, font, error)) {
    Error(error);
    return false;
  }
  return true;
}

}  // namespace rara
