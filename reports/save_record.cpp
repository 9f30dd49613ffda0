// Save records and their safe appending.
#include "reports/save_record.h"

#include <iomanip>
#include <locale>
#include <sstream>
#include <stdexcept>

#include "integers/file_write.h"

namespace rara {

namespace {

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

}  // namespace

std::string SaveDateTimeText(std::time_t when) {
  // Called on the main thread only, so the shared buffer is not raced.
  std::tm local{};
  if (const std::tm* t = std::localtime(&when)) local = *t;
  std::ostringstream out;
  out.imbue(UserLocale());
  out << std::put_time(&local, "%x %X");
  return out.str();
}

std::string SaveDateTimeText() { return SaveDateTimeText(std::time(nullptr)); }

std::string SaveRecordText(TSavePage page, std::string_view dateTime,
                           const std::vector<std::string>& lines) {
  std::string text;
  text += SaveLineEnd;
  text += SaveLineEnd;
  text += ">>> ";
  text += page == TSavePage::Parameters ? "PARAMETERS " : "CURVE ";
  text += dateTime;
  text += " <<<";
  text += SaveLineEnd;
  for (const std::string& line : lines) {
    text += line;
    text += SaveLineEnd;
  }
  return text;
}

bool AppendToFile(const std::string& fileName, std::string_view text, std::string& error) {
  try {
    FileAppend(fileName, text);
    return true;
  } catch (const EFileWrite& e) {
    error = e.what();
    return false;
  }
}

bool AppendSaveRecord(const std::string& fileName, TSavePage page,
                      const std::vector<std::string>& lines, std::string& error) {
  return AppendToFile(fileName, SaveRecordText(page, SaveDateTimeText(), lines), error);
}

}  // namespace rara
