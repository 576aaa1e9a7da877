// The studio's page (the files of tools/studio/page), built into the tool: nothing is read from
// disk or fetched from elsewhere to show it.
#pragma once

#include <span>
#include <string_view>

namespace tovrin {

struct TPageFile {
  std::string_view Name;  // relative to the page folder, '/' between parts: "index.html"
  std::span<const unsigned char> Bytes;
};

// Every file of the page, sorted by name (generated at build time by embed_page.cmake).
std::span<const TPageFile> PageFiles();

// The file of that name, or null.
const TPageFile* FindPageFile(std::string_view name);

// The content type for a file name, by its extension ("text/html; charset=utf-8" for .html);
// application/octet-stream for an extension it does not know.
std::string_view ContentTypeFor(std::string_view name);

}  // namespace tovrin
