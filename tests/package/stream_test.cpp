#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "core/errors.h"
#include "package/stream.h"

namespace tovrin {
namespace {

std::string ScratchPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("tovrin_stream_" + std::to_string(getpid()) + "_" + name))
      .string();
}

TEST(MemoryStream, ReadWriteSeekAndShortReads) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  EXPECT_EQ(s.Size(), 6);
  s.SetPosition(2);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4u);
  EXPECT_EQ(std::string(buf, 4), "cdef");
  EXPECT_EQ(s.Remaining(), 0);
  s.SetPosition(4);
  try {
    s.ReadBuffer(buf, 3);
    FAIL() << "short ReadBuffer must fail";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
  // Positions past the end are allowed; reads there return nothing.
  s.SetPosition(100);
  EXPECT_EQ(s.Read(buf, 1), 0u);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(FileStream, OpenAndCreateFailuresCarryThePath) {
  const std::string missing = ScratchPath("missing/none.bin");
  try {
    TFileStream f(missing, TFileMode::fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + missing);
  }
  try {
    TFileStream f(missing, TFileMode::fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file " + missing);
  }
}

TEST(FileStream, CreateWriteReopenRead) {
  const std::string path = ScratchPath("rw.bin");
  {
    TFileStream f(path, TFileMode::fmCreate);
    f.WriteBuffer("hello world", 11);
    EXPECT_EQ(f.Size(), 11);
  }
  TFileStream f(path, TFileMode::fmOpenRead);
  EXPECT_EQ(f.Size(), 11);
  f.SetPosition(6);
  char buf[5];
  f.ReadBuffer(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(f.Position(), 11);
  EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);  // opened for reading only
  std::remove(path.c_str());
}

TEST(StreamCopy, CopiesAcrossBufferBoundariesAndKeepsPartialData) {
  std::vector<uint8_t> data(TStream::CopyBufferSize * 2 + 123);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 31);
  TMemoryStream src(data);
  src.SetPosition(10);
  TMemoryStream dst;
  dst.CopyFrom(src, static_cast<int64_t>(data.size()) - 10);
  EXPECT_EQ(dst.Bytes(), std::vector<uint8_t>(data.begin() + 10, data.end()));

  // A count of 0 copies nothing (never "everything from the start").
  src.SetPosition(0);
  TMemoryStream none;
  none.CopyFrom(src, 0);
  EXPECT_EQ(none.Size(), 0);

  // Past the end: fails after writing what the source held.
  src.SetPosition(static_cast<int64_t>(data.size()) - 5);
  TMemoryStream partial;
  EXPECT_THROW(partial.CopyFrom(src, 100), EReadError);
  EXPECT_EQ(partial.Size(), 5);
  EXPECT_THROW(partial.CopyFrom(src, -1), EReadError);
}

}  // namespace
}  // namespace tovrin
