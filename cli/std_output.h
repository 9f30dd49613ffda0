// Standard output of rara-cli with every write checked: a full disk or a
// reader that has gone ends the run with the reason and exit status 1,
// never with a report silently cut short.
#pragma once

#include <stdexcept>
#include <string_view>

namespace rara::cli {

// Standard output cannot take more text; what() gives the system's reason.
class TOutputError : public std::runtime_error {
 public:
  explicit TOutputError(int error);
};

// Refuses, before any work, a standard output that is not open at all (a
// file opened later would otherwise take its place).
void CheckOutOpen();

// Writes all of text to standard output, unbuffered; TOutputError on failure.
void WriteOut(std::string_view text);

// Closes standard output, where a delayed write error may still show;
// TOutputError on failure.
void CloseOut();

// Polled during the computation: true, and remembered, once standard output
// is a pipe or socket whose reader has gone, so that the run stops instead
// of computing what nobody can read.
bool PollOutputGone();
bool OutputGone();

// Ends the run for a reader that has gone as a write would have: by SIGPIPE
// when that signal has its default action, else by TOutputError (EPIPE).
[[noreturn]] void StopForGoneOutput();

}  // namespace rara::cli
