// Line lists of the reports.
#include "reports/report_lines.h"

#include <utility>

namespace rara {

TLineFormat LineFormat(TLineStyle style) {
  switch (style) {
    case TLineStyle::Note: return {"Arial", 9, false, false, false};
    case TLineStyle::Body: return {"Courier New", 10, false, false, false};
    case TLineStyle::Title: return {"Arial", 10, true, true, false};
    case TLineStyle::Spacer: return {"Courier New", 4, false, false, false};
    case TLineStyle::Warning: return {"Courier New", 10, false, false, true};
  }
  return {"Courier New", 10, false, false, false};
}

void AddLine(TReportLines& lines, TLineStyle style, std::string text) {
  lines.push_back(TReportLine{style, std::move(text)});
}

void AddTitle(TReportLines& lines, std::string text) {
  AddLine(lines, TLineStyle::Title, std::move(text));
  AddLine(lines, TLineStyle::Spacer, std::string());
}

std::vector<std::string> LineTexts(const TReportLines& lines) {
  std::vector<std::string> texts;
  texts.reserve(lines.size());
  for (const TReportLine& line : lines) texts.push_back(line.Text);
  return texts;
}

std::string PlainText(const TReportLines& lines, std::string_view eol) {
  std::string text;
  for (const TReportLine& line : lines) {
    text += line.Text;
    text += eol;
  }
  return text;
}

}  // namespace rara
