// Save records and their safe appending.
#include "reports/save_record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <memory>
#include <sstream>
#include <system_error>

namespace rara {

namespace {

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

struct TFileCloser {
  void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

std::string ErrnoText(int code) { return std::error_code(code, std::generic_category()).message(); }

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
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool existed = fs::exists(fileName, ec);
  const std::uintmax_t oldSize = existed ? fs::file_size(fileName, ec) : 0;
  if (ec) {
    error = fileName + ": " + ec.message();
    return false;
  }

  errno = 0;
  std::unique_ptr<std::FILE, TFileCloser> file(std::fopen(fileName.c_str(), "ab"));
  if (!file) {
    error = fileName + ": " + ErrnoText(errno);
    return false;
  }
  int code = 0;
  if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() ||
      std::fflush(file.get()) != 0)
    code = errno != 0 ? errno : EIO;
  std::FILE* raw = file.release();
  if (std::fclose(raw) != 0 && code == 0) code = errno != 0 ? errno : EIO;
  if (code == 0) return true;

  // A record is never left half-written: undo whatever reached the file.
  std::error_code undo;
  if (existed)
    fs::resize_file(fileName, oldSize, undo);
  else
    fs::remove(fileName, undo);
  error = fileName + ": " + ErrnoText(code);
  return false;
}

bool AppendSaveRecord(const std::string& fileName, TSavePage page,
                      const std::vector<std::string>& lines, std::string& error) {
  return AppendToFile(fileName, SaveRecordText(page, SaveDateTimeText(), lines), error);
}

}  // namespace rara
