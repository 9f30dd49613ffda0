// Byte streams for the binary stream and file forms of the arithmetic classes:
// a memory stream, a file stream, and the shared file-form rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rara {

// Failures of the stream layer itself (short read, write error, open error).
// Not a library error: the file rules let it pass unchanged.
class EStreamError : public std::runtime_error {
 public:
  explicit EStreamError(const std::string& msg) : std::runtime_error(msg) {}
};

class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::int64_t Position() const = 0;
  virtual void SetPosition(std::int64_t pos) = 0;
  virtual std::int64_t Size() const = 0;
  // Reads up to count bytes, returns how many were read.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes all count bytes or throws EStreamError.
  virtual void Write(const void* buffer, std::size_t count) = 0;

  // Reads exactly count bytes or throws EStreamError("Stream read error").
  void ReadBuffer(void* buffer, std::size_t count);
  std::int64_t Remaining() const { return Size() - Position(); }

  // Little-endian fixed-width fields.
  std::uint8_t ReadU8();
  std::uint32_t ReadU32();
  std::int32_t ReadI32();
  std::uint64_t ReadU64();
  void WriteU8(std::uint8_t v);
  void WriteU32(std::uint32_t v);
  void WriteI32(std::int32_t v);
  void WriteU64(std::uint64_t v);
};

class TMemoryStream final : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
  std::int64_t Position() const override { return pos_; }
  void SetPosition(std::int64_t pos) override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  std::vector<std::uint8_t>& Bytes() { return data_; }

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t pos_ = 0;
};

class TFileStream final : public TStream {
 public:
  enum class TMode { Create, OpenRead };
  // Create truncates or creates; OpenRead opens an existing file for reading.
  // Failure throws EStreamError naming the file.
  TFileStream(const std::string& fileName, TMode mode);
  // Writes and reads through a copy of an open descriptor; fileName is the
  // name that errors give.
  TFileStream(int descriptor, const std::string& fileName);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::int64_t Position() const override;
  void SetPosition(std::int64_t pos) override;
  std::int64_t Size() const override;
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  // Flushes and closes; throws EStreamError when the data did not reach the file.
  void Close();

 private:
  [[noreturn]] void WriteFailed(int code) const;

  std::FILE* file_ = nullptr;
  std::string name_;
};

// Sets the stream back to where it was unless Keep() was called: the
// failure rule of every SaveToStream and LoadFromStream.
class TStreamPosGuard {
 public:
  explicit TStreamPosGuard(TStream& s) : stream_(s), pos_(s.Position()) {}
  ~TStreamPosGuard() {
    if (!keep_) {
      try { stream_.SetPosition(pos_); } catch (...) {}
    }
  }
  void Keep() { keep_ = true; }
  std::int64_t Start() const { return pos_; }
  TStreamPosGuard(const TStreamPosGuard&) = delete;
  TStreamPosGuard& operator=(const TStreamPosGuard&) = delete;

 private:
  TStream& stream_;
  std::int64_t pos_;
  bool keep_ = false;
};

// File form, writing: header then the stream form. The data go to a new
// temporary beside the target, which replaces the target only once complete
// and synced, so a failed save never leaves a half-written file behind. A
// symbolic link is written through and an existing file keeps its mode.
// Failures raise EStreamError naming fileName with the system's reason.
void RuvSaveToFile(const std::string& fileName, std::string_view header,
                   const std::function<void(TStream&)>& saveToStream);

// File form, reading: exactly the header (a shorter file fails with the
// stream layer's read error); a different header, or an ERuvStreamError out
// of loadFromStream, raises ERuvFileError with Name className + ".LoadFromFile".
void RuvLoadFromFile(const std::string& fileName, std::string_view header,
                     std::string_view className,
                     const std::function<void(TStream&)>& loadFromStream);

}  // namespace rara
