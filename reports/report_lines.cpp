// Line lists of the reports.
#include "reports/report_lines.h"

#include <utility>

namespace rara {

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
