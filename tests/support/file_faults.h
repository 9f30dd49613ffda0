// Real file-system faults for the writers' tests: a fresh folder, a tiny
// tmpfs that fills up, and work done in a child process (with its own
// resource limits) whose exit status the test reads.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace rara::test {

// A new empty folder under the system's temporary folder, removed with
// everything in it at the end of the scope.
class TTempFolder {
 public:
  explicit TTempFolder(const std::string& tag);
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A tmpfs of the given size in KiB mounted on a new folder, unmounted at the
// end of the scope. Mounted() is false (and Why() says why) where the test
// may not mount: callers skip then.
class TSmallTmpfs {
 public:
  explicit TSmallTmpfs(int kib);
  ~TSmallTmpfs();
  TSmallTmpfs(const TSmallTmpfs&) = delete;
  TSmallTmpfs& operator=(const TSmallTmpfs&) = delete;
  bool Mounted() const { return mounted_; }
  const std::string& Why() const { return why_; }
  std::string File(const std::string& name) const { return (folder_.Path() / name).string(); }

 private:
  TTempFolder folder_;
  bool mounted_ = false;
  std::string why_;
};

// Runs body in a forked child and returns its exit status (body's result,
// 0..255), or -1 when the child died from a signal.
int RunInChild(const std::function<int()>& body);

// Starts body in a forked child and returns its process id at once.
int StartChild(const std::function<int()>& body);

// Waits for a child of StartChild: its exit status, or -1 after a signal.
int WaitChild(int pid);

// Limits the size of the files this process may write (RLIMIT_FSIZE), with
// SIGXFSZ ignored so that a write past it fails with EFBIG. For children.
void LimitFileSize(long long bytes);

}  // namespace rara::test
