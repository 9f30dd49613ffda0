// The Save record: two empty lines, a header naming the page with the date
// and time, then the page's lines as plain text, each ending in CR LF. The
// file only grows, one whole record per save.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace rara {

enum class TSavePage { Parameters, Curve };

inline constexpr const char* SaveFileName = "rara.txt";
inline constexpr std::string_view SaveLineEnd = "\r\n";

// Local date and time in the user's locale: short date, a blank, long time.
std::string SaveDateTimeText(std::time_t when);
std::string SaveDateTimeText();  // now

// The whole record: "", "", ">>> PARAMETERS <date time> <<<" (or "CURVE "),
// then the lines.
std::string SaveRecordText(TSavePage page, std::string_view dateTime,
                           const std::vector<std::string>& lines);

// Appends the text to the file (created when missing) as one whole record,
// under an exclusive lock that other appenders respect, and syncs it. On any
// failure only this call's bytes are taken back (a file it created is
// removed), error is "<fileName>: <system's reason>" and the result is false.
bool AppendToFile(const std::string& fileName, std::string_view text, std::string& error);

// Builds the record with the current date and time and appends it.
bool AppendSaveRecord(const std::string& fileName, TSavePage page,
                      const std::vector<std::string>& lines, std::string& error);

}  // namespace rara
