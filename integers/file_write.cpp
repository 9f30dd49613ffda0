// Locked appends and replacement through a temporary, on the POSIX calls
// that make them safe against other writers, full disks and planted links.
#include "integers/file_write.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rara {

namespace {

// Closes a descriptor when the scope ends.
class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Writes all count bytes; false with errno set otherwise.
// Writes all of p; `written` counts the bytes that reached the file, also
// when a later write fails.
bool WriteAll(int fd, const char* p, std::size_t count, std::size_t& written) {
  written = 0;
  while (count > 0) {
    const ssize_t n = ::write(fd, p, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    written += static_cast<std::size_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const char* p, std::size_t count) {
  std::size_t written = 0;
  return WriteAll(fd, p, count, written);
}

// Syncs to the disk; a file that cannot be synced (EINVAL: no such
// operation on this file system) is as safe as it gets and counts as synced.
bool Sync(int fd) { return ::fsync(fd) == 0 || errno == EINVAL; }

mode_t CurrentUmask() {
  // /proc gives it without changing it; the fallback sets it back at once.
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

EFileWrite::EFileWrite(const std::string& fileName, int code) : EFileWrite(fileName, std::strerror(code)) {}

EFileWrite::EFileWrite(const std::string& fileName, const std::string& reason)
    : std::runtime_error(fileName + ": " + reason), file_(fileName), reason_(reason) {}

// ---- Appending ----

void FileAppend(const std::string& fileName, std::string_view data) {
  const char* name = fileName.c_str();
  const int flags = O_WRONLY | O_APPEND | O_CLOEXEC;
  // A writer that fails on a file it created removes it; whoever waited for
  // its lock then holds a removed file and starts over on the name.
  for (int attempt = 0;; ++attempt) {
    bool created = false;
    int raw = ::open(name, flags);
    if (raw < 0 && errno == ENOENT) {
      raw = ::open(name, flags | O_CREAT | O_EXCL, 0666);
      created = raw >= 0;
      // Made by someone else meanwhile, or a link to a missing file.
      if (raw < 0 && errno == EEXIST) raw = ::open(name, flags | O_CREAT, 0666);
    }
    if (raw < 0) throw EFileWrite(fileName, errno);
    TFd fd(raw);
    while (::flock(fd.Get(), LOCK_EX) != 0)
      if (errno != EINTR) throw EFileWrite(fileName, errno);

    struct stat mine {};
    if (::fstat(fd.Get(), &mine) != 0) throw EFileWrite(fileName, errno);
    const bool regular = S_ISREG(mine.st_mode);
    if (regular) {
      struct stat now {};
      if (::stat(name, &now) != 0 || !SameFile(now, mine)) {
        if (attempt < 100) continue;
        throw EFileWrite(fileName, ESTALE);
      }
    }

    // Everything up to here belongs to earlier records, ours or not.
    const off_t size = mine.st_size;
    int code = 0;
    std::size_t written = 0;
    if (!WriteAll(fd.Get(), data.data(), data.size(), written) || (regular && !Sync(fd.Get())))
      code = errno;
    if (code == 0) return;  // closing releases the lock

    if (regular) {
      // Take back our own bytes only, and only when the file holds exactly
      // what it held plus them: a writer that appends without the lock may
      // have added its own meanwhile, and those are never cut.
      struct stat now {};
      if (::fstat(fd.Get(), &now) == 0 && now.st_size == size + static_cast<off_t>(written)) {
        // Nothing written: nothing to take back, and no truncation that
        // could race with such a writer.
        if (written > 0 && ::ftruncate(fd.Get(), size) == 0) ::fsync(fd.Get());
        struct stat there {};
        if (created && size == 0 && ::stat(name, &there) == 0 && SameFile(there, mine) &&
            there.st_size == 0)
          ::unlink(name);
      }
    }
    throw EFileWrite(fileName, code);
  }
}

// ---- Replacing ----

TFileReplace::TFileReplace(const std::string& fileName) : name_(fileName) {
  if (fileName.empty()) Fail(ENOENT);
  // Follow symbolic links to the file that is really written.
  target_ = fileName;
  struct stat st {};
  bool exists = false;
  for (int hops = 0;; ++hops) {
    if (::lstat(target_.c_str(), &st) != 0) {
      if (errno != ENOENT) Fail(errno);
      break;
    }
    if (!S_ISLNK(st.st_mode)) {
      exists = true;
      break;
    }
    if (hops == 40) Fail(ELOOP);
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = ::readlink(target_.c_str(), link.data(), link.size() - 1);
    if (n < 0) Fail(errno);
    const std::string to(link.data(), static_cast<std::size_t>(n));
    target_ = to.front() == '/' ? to : FolderOf(target_) + "/" + to;
  }
  if (exists && S_ISDIR(st.st_mode)) Fail(EISDIR);
  // Devices and pipes are not files that a rename may replace.
  if (exists && !S_ISREG(st.st_mode)) throw EFileWrite(name_, "Not a regular file");
  const std::string base = BaseOf(target_);
  if (base.empty()) Fail(EISDIR);

  // mkstemp opens with O_EXCL: a name that exists, link or not, is never used.
  std::string pattern = FolderOf(target_) + "/" + base.substr(0, 200) + ".tmpXXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) Fail(errno);
  temp_ = pattern;

  mode_t mode = 0666 & ~CurrentUmask();
  if (exists) {
    mode = st.st_mode & 07777;
    // Keep the owner where we may (as root); otherwise the file becomes ours.
    if (::geteuid() == 0) [[maybe_unused]] const int kept = ::fchown(fd_, st.st_uid, st.st_gid);
  }
  if (::fchmod(fd_, mode) != 0) Fail(errno);
}

TFileReplace::~TFileReplace() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void TFileReplace::Fail(int code) const { throw EFileWrite(name_, code); }

void TFileReplace::Write(const void* data, std::size_t count) {
  if (!WriteAll(fd_, static_cast<const char*>(data), count)) Fail(errno);
}

void TFileReplace::Commit() {
  if (!Sync(fd_)) Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) Fail(errno);
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  committed_ = true;
  // Make the new name durable too; a folder that refuses this loses nothing.
  const int dir = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void FileReplace(const std::string& fileName, std::string_view data) {
  TFileReplace file(fileName);
  file.Write(data.data(), data.size());
  file.Commit();
}

}  // namespace rara
