// File-system faults for tests: folders, a tiny tmpfs, child processes.
#include "tests/support/file_faults.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <exception>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rara::test {

namespace fs = std::filesystem;

TTempFolder::TTempFolder(const std::string& tag) {
  static int counter = 0;
  path_ = fs::temp_directory_path() /
          ("rara_" + tag + "_" + std::to_string(::getpid()) + "_" + std::to_string(++counter));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

TSmallTmpfs::TSmallTmpfs(int kib) : folder_("tmpfs") {
  const std::string options = "size=" + std::to_string(kib) + "k";
  mounted_ = ::mount("tmpfs", folder_.Path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  if (!mounted_) why_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
}

TSmallTmpfs::~TSmallTmpfs() {
  if (mounted_) ::umount2(folder_.Path().c_str(), MNT_DETACH);
}

int StartChild(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 255;
    try {
      code = body();
    } catch (const std::exception&) {
    }
    ::_exit(code);
  }
  return pid;
}

int WaitChild(int pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunInChild(const std::function<int()>& body) { return WaitChild(StartChild(body)); }

void LimitFileSize(long long bytes) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}

}  // namespace rara::test
