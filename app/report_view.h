// A read-only editor that shows report lines with the fonts and colours of
// their styles. It keeps the plain text of its lines for Save and Print.
#pragma once

#include <QStringList>
#include <QTextCharFormat>
#include <QTextEdit>

#include "reports/report_lines.h"

namespace rara {

class TReportView : public QTextEdit {
  Q_OBJECT

 public:
  // The editor's own font is baseFamily at 13 pixels; Print takes its style
  // and its size in points as the screen shows it.
  TReportView(const QString& name, const QString& baseFamily, QWidget* parent = nullptr);

  // Appends the lines as one batch: the editor repaints once, at the end.
  void AppendLines(const TReportLines& lines);
  void ClearLines();

  bool HasLines() const noexcept { return !lines_.isEmpty(); }
  int LineCount() const noexcept { return static_cast<int>(lines_.size()); }
  // The text of every line, without styles.
  const QStringList& Lines() const noexcept { return lines_; }

  bool HasSelection() const;
  void RemoveSelection();

  // Lit: window background; greyed: button-face background.
  void SetLit(bool lit);

  // The character format of a style, as the editor renders it.
  static QTextCharFormat StyleFormat(TLineStyle style);

 private:
  QStringList lines_;
};

}  // namespace rara
