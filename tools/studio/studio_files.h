// The studio's files: reading and writing them whole, the names uploads may have, and whether a
// path lies inside a folder the user gave.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// What a photo the studio cannot read is marked with.
inline constexpr const char* UnreadablePhoto = "not a picture this studio can read";
// Photo headers (size, orientation, metadata) are read from the start of the file; a file whose
// headers go further is read whole.
inline constexpr size_t PhotoHeaderBytes = size_t{1} << 20;

// The file's bytes, at most `limit` of them. Raises EFOpenError / EReadError.
std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t limit = SIZE_MAX);
// Raises EWriteError.
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// The last part of a name the page sends ("C:\Photos\a.jpg" and "holiday/a.jpg" give "a.jpg").
// Raises EStudioError (sfBadRequest) when that is no plain file name.
std::string UploadFileName(std::string_view name);

// True when `path` is `folder` or lies under it, both as the file system resolves them (links
// followed, "." and ".." gone), so neither a link nor ".." leads outside.
bool IsAtOrUnder(const std::filesystem::path& path, const std::filesystem::path& folder);

}  // namespace tovrin
