#include "movie_format.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>

#include "core/errors.h"
#include "platform/movie_player.h"

#if TOVRIN_VIDEO
#include "platform/video/video_clip.h"
#endif

namespace tovrin {

namespace {

bool At(const uint8_t* bytes, size_t size, size_t offset, const char* text) {
  const size_t n = std::strlen(text);
  return offset + n <= size && std::memcmp(bytes + offset, text, n) == 0;
}

// The DocType of an EBML header: the text after 42 82 and its one-byte size (as every muxer
// writes it), or empty.
std::string DocType(const uint8_t* bytes, size_t size) {
  for (size_t i = 4; i + 3 <= size; ++i) {
    if (bytes[i] != 0x42 || bytes[i + 1] != 0x82) continue;
    const uint8_t mark = bytes[i + 2];
    if ((mark & 0x80) == 0) continue;  // only one-byte sizes
    const size_t length = mark & 0x7F;
    if (i + 3 + length > size) return {};
    return std::string(reinterpret_cast<const char*>(bytes + i + 3), length);
  }
  return {};
}

}  // namespace

std::string MovieContainer(const uint8_t* bytes, size_t size) {
  size = std::min(size, MovieSniffBytes);
  if (At(bytes, size, 0, "FWS") || At(bytes, size, 0, "CWS") || At(bytes, size, 0, "ZWS")) {
    return "swf";
  }
  if (At(bytes, size, 4, "ftyp")) return At(bytes, size, 8, "qt  ") ? "mov" : "mp4";
  for (const char* box : {"moov", "mdat", "wide", "free", "skip"}) {
    if (At(bytes, size, 4, box)) return "mov";
  }
  if (At(bytes, size, 0, "\x1A\x45\xDF\xA3")) {
    const std::string type = DocType(bytes, size);
    if (type == "webm" || type == "matroska") return type;
  }
  return {};
}

void CheckMovieFile(const std::string& path) {
  std::array<uint8_t, MovieSniffBytes> head{};
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  const std::string container = MovieContainer(head.data(), static_cast<size_t>(in.gcount()));
  if (container.empty()) {
    throw EConvertError(path + ": not a movie a show plays (MP4, MOV, WebM, MKV or SWF)");
  }
  const bool swfName = IsOldControlMovie(path);
  if (container == "swf" && !swfName) {
    throw EConvertError(path + ": an SWF movie must be named .swf");
  }
  if (container != "swf" && swfName) {
    throw EConvertError(path + ": a " + container + " video must not be named .swf");
  }
}

TMovieFormat DescribeMovie(const std::string& path, int64_t offset, int64_t length) {
  TMovieFormat format;
  std::array<uint8_t, MovieSniffBytes> head{};
  std::ifstream in(path, std::ios::binary);
  in.seekg(offset);
  in.read(reinterpret_cast<char*>(head.data()),
          static_cast<std::streamsize>(std::min<int64_t>(length, MovieSniffBytes)));
  format.Container =
      MovieContainer(head.data(), static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  if (format.Container.empty() || format.Container == "swf") return format;
#if TOVRIN_VIDEO
  try {
    const TVideoInfo info = ProbeVideo(path, offset, length);
    format.VideoCodec = info.VideoCodec;
    format.AudioCodec = info.AudioCodec;
    format.Width = info.Width;
    format.Height = info.Height;
    format.DurationMs = info.DurationMs;
  } catch (const Exception& e) {
    // The reader's message names the package file; what follows its colon says why.
    const std::string message = e.what();
    const size_t colon = message.rfind(": ");
    format.Problem = colon == std::string::npos ? message : message.substr(colon + 2);
  }
#endif
  return format;
}

}  // namespace tovrin
