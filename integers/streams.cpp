// Memory and file streams, and the file-form rules shared by every
// persistent arithmetic class.
#include "integers/streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

#include "integers/errors.h"
#include "integers/file_write.h"

namespace rara {

void TStream::ReadBuffer(void* buffer, std::size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

std::uint8_t TStream::ReadU8() {
  std::uint8_t b;
  ReadBuffer(&b, 1);
  return b;
}
std::uint32_t TStream::ReadU32() {
  std::uint8_t b[4];
  ReadBuffer(b, 4);
  return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
         static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}
std::int32_t TStream::ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
std::uint64_t TStream::ReadU64() {
  std::uint64_t lo = ReadU32();
  std::uint64_t hi = ReadU32();
  return lo | hi << 32;
}
void TStream::WriteU8(std::uint8_t v) { Write(&v, 1); }
void TStream::WriteU32(std::uint32_t v) {
  std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                       static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
  Write(b, 4);
}
void TStream::WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
void TStream::WriteU64(std::uint64_t v) {
  WriteU32(static_cast<std::uint32_t>(v));
  WriteU32(static_cast<std::uint32_t>(v >> 32));
}

// ---- Memory stream ----

void TMemoryStream::SetPosition(std::int64_t pos) {
  if (pos < 0) throw EStreamError("Stream seek error");
  pos_ = pos;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (pos_ >= Size()) return 0;
  std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(Size() - pos_));
  std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += static_cast<std::int64_t>(n);
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  std::size_t end = static_cast<std::size_t>(pos_) + count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = static_cast<std::int64_t>(end);
}

// ---- File stream ----

TFileStream::TFileStream(const std::string& fileName, TMode mode) : name_(fileName) {
  file_ = std::fopen(fileName.c_str(), mode == TMode::Create ? "w+b" : "rb");
  if (file_ == nullptr) {
    const char* what = mode == TMode::Create ? "Cannot create file" : "Cannot open file";
    throw EStreamError(std::string(what) + " \"" + fileName + "\". " + std::strerror(errno));
  }
}

TFileStream::TFileStream(int descriptor, const std::string& fileName) : name_(fileName) {
  const int copy = ::dup(descriptor);
  if (copy >= 0) file_ = ::fdopen(copy, "w+b");
  if (file_ == nullptr) {
    const int code = errno;
    if (copy >= 0) ::close(copy);
    throw EStreamError("Cannot create file \"" + fileName + "\". " + std::strerror(code));
  }
}

TFileStream::~TFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

void TFileStream::WriteFailed(int code) const {
  throw EStreamError("Cannot write file \"" + name_ + "\". " + std::strerror(code != 0 ? code : EIO));
}

void TFileStream::Close() {
  if (file_ == nullptr) return;
  errno = 0;
  int code = std::fflush(file_) == 0 ? 0 : errno;
  if (std::fclose(file_) != 0 && code == 0) code = errno != 0 ? errno : EIO;
  file_ = nullptr;
  if (code != 0) WriteFailed(code);
}

std::int64_t TFileStream::Position() const { return static_cast<std::int64_t>(std::ftell(file_)); }

void TFileStream::SetPosition(std::int64_t pos) {
  if (pos < 0 || std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0) throw EStreamError("Stream seek error");
}

std::int64_t TFileStream::Size() const {
  long here = std::ftell(file_);
  std::fseek(file_, 0, SEEK_END);
  long end = std::ftell(file_);
  std::fseek(file_, here, SEEK_SET);
  return static_cast<std::int64_t>(end);
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return std::fread(buffer, 1, count, file_); }

void TFileStream::Write(const void* buffer, std::size_t count) {
  errno = 0;
  if (count != 0 && std::fwrite(buffer, 1, count, file_) != count) WriteFailed(errno);
}

// ---- File forms ----

void RuvSaveToFile(const std::string& fileName, std::string_view header,
                   const std::function<void(TStream&)>& saveToStream) {
  try {
    TFileReplace file(fileName);
    {
      TFileStream out(file.Descriptor(), fileName);
      out.Write(header.data(), header.size());
      saveToStream(out);
      out.Close();
    }
    file.Commit();
  } catch (const EFileWrite& e) {
    throw EStreamError("Cannot write file \"" + fileName + "\". " + e.Reason());
  }
}

void RuvLoadFromFile(const std::string& fileName, std::string_view header, std::string_view className,
                     const std::function<void(TStream&)>& loadFromStream) {
  TFileStream in(fileName, TFileStream::TMode::OpenRead);
  std::string got(header.size(), '\0');
  in.ReadBuffer(got.data(), got.size());
  std::string name = std::string(className) + ".LoadFromFile";
  if (got != header) RaiseFileError(name, fileName);
  try {
    loadFromStream(in);
  } catch (const ERuvStreamError&) {
    RaiseFileError(name, fileName);
  }
}

}  // namespace rara
