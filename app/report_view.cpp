// Rendering of report lines into a rich-text editor.
#include "app/report_view.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace rara {

namespace {

constexpr int ParagraphIndent = 10;  // left and right indent, pixels

// The indent holds for every line of a paragraph, so that the continuation
// lines of a wrapped value start where the line itself starts.
QTextBlockFormat ParagraphFormat() {
  QTextBlockFormat format;
  format.setLeftMargin(ParagraphIndent);
  format.setRightMargin(ParagraphIndent);
  return format;
}

// Restores the editor's updates when the batch ends, also on an exception.
class TUpdatesGuard {
 public:
  explicit TUpdatesGuard(QWidget* w) : w_(w), was_(w->updatesEnabled()) { w_->setUpdatesEnabled(false); }
  ~TUpdatesGuard() { w_->setUpdatesEnabled(was_); }
  TUpdatesGuard(const TUpdatesGuard&) = delete;
  TUpdatesGuard& operator=(const TUpdatesGuard&) = delete;

 private:
  QWidget* w_;
  bool was_;
};

}  // namespace

TReportView::TReportView(const QString& name, const QString& baseFamily, QWidget* parent)
    : QTextEdit(parent) {
  setObjectName(name);
  setReadOnly(true);
  setAcceptRichText(false);
  // Long polynomials wrap at the editor's width; Lines() keeps them whole.
  setLineWrapMode(QTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont base(baseFamily);
  base.setStyleHint(baseFamily == QLatin1String("Courier New") ? QFont::TypeWriter : QFont::SansSerif);
  base.setPixelSize(13);
  setFont(base);
  document()->setDefaultFont(base);
}

QTextCharFormat TReportView::StyleFormat(TLineStyle style) {
  const TLineFormat look = LineFormat(style);
  QFont font(QString::fromLatin1(look.Face.data(), static_cast<qsizetype>(look.Face.size())));
  // Where the face is missing, fall back to one of the same kind.
  font.setStyleHint(look.Face == "Courier New" ? QFont::TypeWriter : QFont::SansSerif);
  font.setPointSize(look.PointSize);
  font.setBold(look.Bold);
  font.setUnderline(look.Underline);
  QTextCharFormat format;
  format.setFont(font, QTextCharFormat::FontPropertiesAll);
  format.setForeground(look.Red ? QColor(Qt::red) : QColor(Qt::black));
  return format;
}

void TReportView::AppendLines(const TReportLines& lines) {
  if (lines.empty()) return;
  TUpdatesGuard updates(viewport());
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End);
  for (const TReportLine& line : lines) {
    const QTextCharFormat format = StyleFormat(line.Style);
    const QString text = QString::fromStdString(line.Text);
    if (lines_.isEmpty()) {
      // The document's first block is already there.
      cursor.setBlockFormat(ParagraphFormat());
      cursor.setBlockCharFormat(format);
    } else {
      cursor.insertBlock(ParagraphFormat(), format);
    }
    cursor.insertText(text, format);
    lines_.append(text);
  }
  cursor.endEditBlock();
}

void TReportView::ClearLines() {
  clear();
  lines_.clear();
}

bool TReportView::HasSelection() const { return textCursor().hasSelection(); }

void TReportView::RemoveSelection() {
  QTextCursor cursor = textCursor();
  cursor.clearSelection();
  setTextCursor(cursor);
}

void TReportView::SetLit(bool lit) {
  QPalette pal = palette();
  const QColor background = QGuiApplication::palette().color(lit ? QPalette::Base : QPalette::Button);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    pal.setColor(group, QPalette::Base, background);
  setPalette(pal);
}

}  // namespace rara
