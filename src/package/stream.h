// Byte streams: the abstract TStream the component reader and the package locator work on, a file
// stream and a memory stream.
//
// Errors: EFOpenError ("Cannot open file %s"), EFCreateError ("Cannot create file %s"),
// EReadError ("Stream read error") when ReadBuffer gets fewer bytes than asked for, EWriteError
// ("Stream write error") when WriteBuffer cannot write everything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace tovrin {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
 public:
  virtual ~TStream() = default;

  // Reads up to count bytes into buffer; returns how many were read (fewer only at the end).
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual size_t Write(const void* buffer, size_t count) = 0;
  // Moves the position and returns the new one. Positions before 0 are refused (EStreamError);
  // positions after the end are allowed (reads there return 0 bytes).
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size() = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  // Bytes between the position and the end (0 when the position is past the end).
  int64_t Remaining();

  // Reads exactly count bytes or fails with "Stream read error".
  void ReadBuffer(void* buffer, size_t count);
  // Writes exactly count bytes or fails with "Stream write error".
  void WriteBuffer(const void* buffer, size_t count);

  // Copies count bytes from source (at its position) through a buffer of at most 61440 bytes.
  // count must not be negative; 0 copies nothing. A source that ends early fails with
  // "Stream read error" after the bytes before its end have been written.
  void CopyFrom(TStream& source, int64_t count);

  static constexpr size_t CopyBufferSize = 61440;
};

// A stream on an in-memory byte vector that grows as it is written.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {}
  TMemoryStream(const uint8_t* data, size_t size) : FBytes(data, data + size) {}

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FBytes.size()); }

  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  std::vector<uint8_t>& Bytes() { return FBytes; }

 private:
  std::vector<uint8_t> FBytes;
  size_t FPosition = 0;
};

enum class TFileMode {
  fmOpenRead,  // read only, other readers allowed, writers denied (where the platform can)
  fmCreate,    // create or truncate, read and write
  // Create a new file, read and write. Fails when anything of that name is there already, a
  // symbolic link included (which is never followed); on POSIX only the owner may read or write
  // the file (0600) and it is not passed to child processes.
  fmCreateNew,
};

class TFileStream : public TStream {
 public:
  // Opens path (UTF-8); fails with "Cannot open file %s" (fmOpenRead) or "Cannot create file %s"
  // (fmCreate, fmCreateNew), the path in place of %s.
  TFileStream(const std::string& path, TFileMode mode);

  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;

  // Hands buffered writes to the system; "Stream write error" when it refuses them (a full disk).
  void Flush();

  const std::string& FileName() const { return FFileName; }

 private:
  struct TCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, TCloser> FFile;
  std::string FFileName;
};

}  // namespace tovrin
