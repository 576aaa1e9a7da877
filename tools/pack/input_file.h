// Checks on the files the tool reads, and reading them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tovrin {

// Raises EFOpenError naming the path unless it is an existing regular file (or a link to one):
// a directory or a device would otherwise open and report a nonsense size.
void RequireRegularFile(const std::string& path);

// The size of an input file as the file system reports it; raises as RequireRegularFile, and
// EFOpenError when the file cannot be opened for reading.
int64_t InputFileSize(const std::string& path);

// Raises EReadError: "<path>: the file changed while it was being packed".
[[noreturn]] void RefuseChangedInput(const std::string& path);

// Reads the whole of an input file. checkSize is called with the file's size as the file system
// reports it before a byte is read, and raises to refuse it: a file too large to be packed is
// never read into memory. No more than that size and one byte are read, so a file that grows
// meanwhile is cut there and refused (RefuseChangedInput), as is one that shrinks. Raises as
// InputFileSize too.
std::vector<uint8_t> ReadInputFile(const std::string& path,
                                   const std::function<void(int64_t size)>& checkSize);

}  // namespace tovrin
