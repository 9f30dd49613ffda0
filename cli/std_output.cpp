// Checked writes to standard output.
#include "cli/std_output.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace rara::cli {

namespace {

bool Gone = false;

std::string Reason(int error) {
  return std::string("cannot write standard output: ") + std::strerror(error);
}

}  // namespace

TOutputError::TOutputError(int error) : std::runtime_error(Reason(error)) {}

void CheckOutOpen() {
  if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) throw TOutputError(errno);
}

void WriteOut(std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data(), text.size());
    if (n > 0) {
      text.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // A non-blocking descriptor inherited from the caller: wait until it drains.
      pollfd p{STDOUT_FILENO, POLLOUT, 0};
      if (::poll(&p, 1, -1) >= 0 || errno == EINTR) continue;
    }
    throw TOutputError(n < 0 ? errno : EIO);
  }
}

void CloseOut() {
  if (::close(STDOUT_FILENO) != 0 && errno != EINTR) throw TOutputError(errno);
}

bool PollOutputGone() {
  if (Gone) return true;
  // No events asked for: only the error state is reported, which a pipe
  // enters when its last reader closes it.
  pollfd p{STDOUT_FILENO, 0, 0};
  Gone = ::poll(&p, 1, 0) == 1 && (p.revents & POLLERR) != 0;
  return Gone;
}

bool OutputGone() { return Gone; }

void StopForGoneOutput() {
  struct sigaction action {};
  sigset_t blocked;
  sigemptyset(&blocked);
  if (::sigaction(SIGPIPE, nullptr, &action) == 0 && action.sa_handler == SIG_DFL &&
      ::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) == 0 && !sigismember(&blocked, SIGPIPE))
    ::raise(SIGPIPE);
  throw TOutputError(EPIPE);
}

}  // namespace rara::cli
