// Checks of the output files before the computation.
#include "cli/output_paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "cli/options.h"

namespace rara::cli {

namespace {

namespace fs = std::filesystem;

struct TTarget {
  const char* Option = "";
  std::string Path;
  bool Exists = false;
  struct stat Stat {};
  std::string Canonical;  // with the links of its existing folders resolved
};

std::string Named(const TTarget& t) { return std::string(t.Option) + " \"" + t.Path + "\""; }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The folder that receives the file: exports write a temporary beside the
// file they replace, which is the link's target for a symbolic link.
fs::path FolderOf(const TTarget& t) {
  std::error_code ec;
  fs::path file = t.Exists ? fs::canonical(t.Path, ec) : fs::path(t.Path);
  if (ec) file = t.Path;
  fs::path folder = file.parent_path();
  return folder.empty() ? fs::path(".") : folder;
}

std::string CheckOne(TTarget& t) {
  if (::stat(t.Path.c_str(), &t.Stat) == 0) {
    t.Exists = true;
    if (S_ISDIR(t.Stat.st_mode)) return Named(t) + ": is a folder";
    if (!S_ISREG(t.Stat.st_mode)) return Named(t) + ": not a regular file";
    // Opened for appending, without creating or truncating: nothing changes.
    const int fd = ::open(t.Path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Named(t) + ": " + std::strerror(errno);
    ::close(fd);
  } else if (errno != ENOENT && errno != ENOTDIR) {
    return Named(t) + ": " + std::strerror(errno);
  }
  const fs::path folder = FolderOf(t);
  struct stat f {};
  if (::stat(folder.c_str(), &f) != 0 || !S_ISDIR(f.st_mode))
    return Named(t) + ": the folder \"" + folder.string() + "\" does not exist";
  // A new file, or the temporary of an export, is created in the folder.
  const bool exportFile = std::string(t.Option) != "--append";
  if ((!t.Exists || exportFile) && ::access(folder.c_str(), W_OK | X_OK) != 0)
    return Named(t) + ": cannot create a file in \"" + folder.string() + "\": " +
           std::strerror(errno);
  std::error_code ec;
  t.Canonical = fs::weakly_canonical(fs::absolute(t.Path, ec), ec).string();
  return std::string();
}

}  // namespace

std::string CheckOutputPaths(const TCliOptions& o) {
  std::vector<TTarget> targets;
  const std::pair<const char*, const std::optional<std::string>*> outputs[] = {
      {"--append", &o.AppendFile}, {"--pem", &o.PemFile}, {"--der", &o.DerFile},
      {"--json", &o.JsonFile}};
  for (const auto& [option, file] : outputs)
    if (*file) {
      targets.emplace_back();
      targets.back().Option = option;
      targets.back().Path = **file;
    }

  struct stat out {};
  const bool outIsFile = ::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    TTarget& t = targets[i];
    if (std::string m = CheckOne(t); !m.empty()) return m;
    if (t.Exists && outIsFile && SameFile(t.Stat, out))
      return Named(t) + ": standard output goes to that file";
    for (std::size_t j = 0; j < i; ++j) {
      const TTarget& u = targets[j];
      if ((t.Exists && u.Exists && SameFile(t.Stat, u.Stat)) ||
          (!t.Canonical.empty() && t.Canonical == u.Canonical))
        return Named(u) + " and " + Named(t) + " are the same file";
    }
  }
  return std::string();
}

}  // namespace rara::cli
