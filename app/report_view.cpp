// Rendering of report lines into a rich-text editor.
#include "app/report_view.h"

#include <QGuiApplication>
#include <QPalette>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>

namespace rara {

namespace {

constexpr int ParagraphIndent = 10;  // first-line and right indent, pixels

QFont StyleFont(const QString& family, int points, QFont::StyleHint hint) {
  QFont font(family);
  font.setStyleHint(hint);
  font.setPointSize(points);
  return font;
}

QFont Fixed(int points) { return StyleFont(QStringLiteral("Courier New"), points, QFont::TypeWriter); }
QFont Proportional(int points) { return StyleFont(QStringLiteral("Arial"), points, QFont::SansSerif); }

QTextBlockFormat ParagraphFormat() {
  QTextBlockFormat format;
  format.setTextIndent(ParagraphIndent);
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
  setLineWrapMode(QTextEdit::NoWrap);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont base(baseFamily);
  base.setStyleHint(baseFamily == QLatin1String("Courier New") ? QFont::TypeWriter : QFont::SansSerif);
  base.setPixelSize(13);
  setFont(base);
  document()->setDefaultFont(base);
}

QTextCharFormat TReportView::StyleFormat(TLineStyle style) {
  QTextCharFormat format;
  QFont font;
  switch (style) {
    case TLineStyle::Note: font = Proportional(9); break;
    case TLineStyle::Title:
      font = Proportional(10);
      font.setBold(true);
      font.setUnderline(true);
      break;
    case TLineStyle::Spacer: font = Fixed(4); break;
    case TLineStyle::Body:
    case TLineStyle::Warning: font = Fixed(10); break;
  }
  format.setFont(font, QTextCharFormat::FontPropertiesAll);
  format.setForeground(style == TLineStyle::Warning ? QColor(Qt::red) : QColor(Qt::black));
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
