// The commands that act on the current page: Save, Print, Copy and Clear.
#include <algorithm>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "dialogs/ui_services.h"
#include "reports/save_record.h"

namespace rara {

namespace {

// The editor's style in a fixed-width face, at the size the editor shows on
// screen. The editor's font is set in pixels, which a printer would take as
// its own (far smaller) pixels, so the size goes over in points, whole
// points as a font size is usually given.
QFont PrintFont(const TReportView& editor) {
  QFont font = editor.font();
  if (font.pointSizeF() <= 0) {
    const double points = font.pixelSize() * 72.0 / editor.logicalDpiY();
    font.setPointSize(std::max(1, qRound(points)));
  }
  font.setFamily(QStringLiteral("Courier New"));
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

void TMainForm::BtnSaveClick() {
  TReportView& editor = CurrentEditor();
  if (!editor.HasLines()) return;
  TUpdateAtEnd update(*this);
  const bool page1 = OnPage1();
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(editor.LineCount()));
  for (const QString& line : editor.Lines()) lines.push_back(line.toStdString());
  std::string error;
  if (!AppendSaveRecord(SaveFileName, page1 ? TSavePage::Parameters : TSavePage::Curve, lines, error)) {
    // The file is as it was and the page stays unsaved.
    Ui().Error(QStringLiteral("Editor not saved to \"rara.txt\" file\r\n") + QString::fromStdString(error));
    return;
  }
  (page1 ? paramsSaved_ : curveSaved_) = true;
  Ui().Information(QStringLiteral("Editor saved to \"rara.txt\" file"));
}

void TMainForm::BtnPrintClick() {
  TReportView& editor = CurrentEditor();
  if (!editor.HasLines()) return;
  TUpdateAtEnd update(*this);
  Ui().Print(editor.Lines(), PrintFont(editor));
}

void TMainForm::BtnCopyClick() { CurrentEditor().copy(); }

void TMainForm::BtnClearClick() {
  TUpdateAtEnd update(*this);  // also puts the Clear button back after a No
  BtnClear.setEnabled(false);
  if (!OnPage1()) {
    if (!haveCurve_) return;
    if (curveSaved_ || Ui().Confirm(QStringLiteral("Current curve not saved.\r\nClear data ?"))) ClearCurve();
    return;
  }
  if (!haveParams_) return;
  const QString unsaved = UnsavedText();
  if (unsaved.isEmpty() || Ui().Confirm(unsaved + QStringLiteral("Clear data ?"))) ClearAll();
}

}  // namespace rara
