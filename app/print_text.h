// Printing plain lines on a printer as its text device: one font for all,
// lines wider than the page wrapped onto continuation lines that keep the
// line's start, and a new page whenever the next line would not fit.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QPrinter;

namespace rara {

// Prints the lines on the printer, which must not be open yet; the job ends
// when the call returns. False, with the reason in error, when the printer
// could not be opened or a page not started or finished.
bool PrintLines(QPrinter& printer, const QStringList& lines, const QFont& font, QString& error);

}  // namespace rara
