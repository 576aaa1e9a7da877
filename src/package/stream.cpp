#include "package/stream.h"

#include <algorithm>
#include <cstring>

#include "core/errors.h"
#include "core/new_file.h"
#include "core/paths.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tovrin {

int64_t TStream::Remaining() {
  const int64_t pos = Position();
  const int64_t size = Size();
  return pos < size ? size - pos : 0;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

void TStream::CopyFrom(TStream& source, int64_t count) {
  if (count < 0) throw EReadError("Stream read error");
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, CopyBufferSize)));
  while (count > 0) {
    const size_t chunk = static_cast<size_t>(std::min<int64_t>(count, CopyBufferSize));
    const size_t got = source.Read(buffer.data(), chunk);
    // Write what arrived before reporting a short source, so the destination holds every byte
    // the source had.
    WriteBuffer(buffer.data(), got);
    if (got != chunk) throw EReadError("Stream read error");
    count -= static_cast<int64_t>(chunk);
  }
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (FPosition >= FBytes.size()) return 0;
  const size_t n = std::min(count, FBytes.size() - FPosition);
  std::memcpy(buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  if (FPosition + count > FBytes.size()) FBytes.resize(FPosition + count);
  std::memcpy(FBytes.data() + FPosition, buffer, count);
  FPosition += count;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = 0;
  switch (origin) {
    case TSeekOrigin::soBeginning:
      base = 0;
      break;
    case TSeekOrigin::soCurrent:
      base = static_cast<int64_t>(FPosition);
      break;
    case TSeekOrigin::soEnd:
      base = static_cast<int64_t>(FBytes.size());
      break;
  }
  // Positions are kept below 2^62 so that no sum of a position and a 32-bit length overflows.
  constexpr int64_t limit = int64_t{1} << 62;
  if (offset > limit || offset < -limit || base + offset < 0 || base + offset > limit) {
    throw EStreamError("Stream seek error");
  }
  FPosition = static_cast<size_t>(base + offset);
  return base + offset;
}

namespace {

int64_t FileTell(std::FILE* f) {
#ifdef _WIN32
  return _ftelli64(f);
#else
  return ftello(f);
#endif
}

bool FileSeek(std::FILE* f, int64_t offset, int whence) {
#ifdef _WIN32
  return _fseeki64(f, offset, whence) == 0;
#else
  return fseeko(f, static_cast<off_t>(offset), whence) == 0;
#endif
}

}  // namespace

TFileStream::TFileStream(const std::string& path, TFileMode mode) : FFileName(path) {
  // On Windows the UTF-8 path goes to the wide calls, so no letter is lost to the ANSI code page.
  if (mode == TFileMode::fmOpenRead) {
#ifdef _WIN32
    FFile.reset(_wfsopen(PathFromUtf8(path).c_str(), L"rb", _SH_DENYWR));
#else
    FFile.reset(std::fopen(path.c_str(), "rb"));
#endif
    if (!FFile) throw EFOpenError("Cannot open file " + path);
  } else {
#ifdef _WIN32
    FFile.reset(mode == TFileMode::fmCreateNew ? CreateNewFile(path, TNewFileAccess::nfOwnerOnly)
                                               : _wfopen(PathFromUtf8(path).c_str(), L"w+b"));
#else
    FFile.reset(mode == TFileMode::fmCreateNew ? CreateNewFile(path, TNewFileAccess::nfOwnerOnly)
                                               : std::fopen(path.c_str(), "w+b"));
#endif
    if (!FFile) throw EFCreateError("Cannot create file " + path);
  }
}

size_t TFileStream::Read(void* buffer, size_t count) {
  if (count == 0) return 0;
  return std::fread(buffer, 1, count, FFile.get());
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  if (count == 0) return 0;
  return std::fwrite(buffer, 1, count, FFile.get());
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (origin == TSeekOrigin::soCurrent && offset == 0) return FileTell(FFile.get());
  int whence = SEEK_SET;
  if (origin == TSeekOrigin::soCurrent) whence = SEEK_CUR;
  if (origin == TSeekOrigin::soEnd) whence = SEEK_END;
  if (!FileSeek(FFile.get(), offset, whence)) throw EStreamError("Stream seek error");
  return FileTell(FFile.get());
}

void TFileStream::Flush() {
  if (std::fflush(FFile.get()) != 0) throw EWriteError("Stream write error");
}

int64_t TFileStream::Size() {
  const int64_t pos = FileTell(FFile.get());
  if (!FileSeek(FFile.get(), 0, SEEK_END)) throw EStreamError("Stream seek error");
  const int64_t size = FileTell(FFile.get());
  FileSeek(FFile.get(), pos, SEEK_SET);
  return size;
}

}  // namespace tovrin
