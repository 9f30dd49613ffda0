// Writing files safely, under every writer of the program: appending a record
// to a shared file under an exclusive lock, and replacing a file as a whole
// through a private temporary beside it. A failure leaves the file as it was
// and names the file the caller was given, with the system's reason.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rara {

// A failed write. what() is "<file>: <reason>".
class EFileWrite : public std::runtime_error {
 public:
  EFileWrite(const std::string& fileName, int code);  // reason from errno code
  EFileWrite(const std::string& fileName, const std::string& reason);
  const std::string& FileName() const noexcept { return file_; }
  const std::string& Reason() const noexcept { return reason_; }

 private:
  std::string file_;
  std::string reason_;
};

// Appends data to fileName (created with the default mode when missing) while
// holding an exclusive flock on it: the size is measured under the lock, the
// data go out in one write() on an O_APPEND descriptor (repeated only after a
// short write) and are synced before the call returns. On failure only the
// bytes of this call are taken back, never what other writers appended, a
// file this call created is removed again, and EFileWrite is raised.
void FileAppend(const std::string& fileName, std::string_view data);

// Replaces a file as a whole. The data go to a new temporary (mkstemp, so
// never an existing name or link) in the folder of the real target; Commit
// syncs it and renames it over the target. A symbolic link is written
// through: the file it leads to is replaced and the link stays. An existing
// file keeps its mode (and, where allowed, its owner); a new one gets the
// default mode under the umask. Until Commit the target is untouched; a
// replacement destroyed before Commit removes its temporary. Every failure
// raises EFileWrite naming the file given here, never the temporary.
class TFileReplace {
 public:
  explicit TFileReplace(const std::string& fileName);
  ~TFileReplace();
  TFileReplace(const TFileReplace&) = delete;
  TFileReplace& operator=(const TFileReplace&) = delete;

  // The temporary's descriptor, for writers that need a stream over it.
  int Descriptor() const noexcept { return fd_; }
  const std::string& FileName() const noexcept { return name_; }
  // All count bytes at the descriptor's position.
  void Write(const void* data, std::size_t count);
  void Commit();

 private:
  [[noreturn]] void Fail(int code) const;

  std::string name_;    // as given by the caller
  std::string target_;  // the regular file that is replaced
  std::string temp_;
  int fd_ = -1;
  bool committed_ = false;
};

// TFileReplace of the whole content at once.
void FileReplace(const std::string& fileName, std::string_view data);

}  // namespace rara
