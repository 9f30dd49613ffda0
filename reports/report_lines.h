// Report text as a list of lines, each tagged with the style a front end
// renders it in. Front ends add fonts and colours; Save and standard output
// use the text alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rara {

enum class TLineStyle : std::uint8_t {
  Note,     // small proportional face
  Body,     // fixed-width face, the values
  Title,    // bold and underlined; always followed by a Spacer line
  Spacer,   // empty line of a small fixed-width face
  Warning,  // body face in red
};

// How a style looks; front ends map it onto their own fonts and colours.
struct TLineFormat {
  std::string_view Face;  // "Arial" or "Courier New"
  int PointSize;
  bool Bold;
  bool Underline;
  bool Red;               // black otherwise
};

TLineFormat LineFormat(TLineStyle style);

struct TReportLine {
  TLineStyle Style = TLineStyle::Body;
  std::string Text;

  friend bool operator==(const TReportLine&, const TReportLine&) = default;
};

using TReportLines = std::vector<TReportLine>;

// Appends a line in the given style.
void AddLine(TReportLines& lines, TLineStyle style, std::string text);
// Appends the title line and the empty spacer line after it.
void AddTitle(TReportLines& lines, std::string text);

// The texts alone, in order.
std::vector<std::string> LineTexts(const TReportLines& lines);
// The texts joined, each followed by eol.
std::string PlainText(const TReportLines& lines, std::string_view eol);

}  // namespace rara
