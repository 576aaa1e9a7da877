#include "picture_type.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/conversions.h"
#include "gfx/image_file.h"
#include "heif_decode.h"

namespace tovrin {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr const char* kHeifBrands[] = {"heic", "heix", "hevc", "hevx", "heim",
                                       "heis", "hevm", "hevs", "mif1", "msf1"};

bool IsHeifBrand(const uint8_t* brand) {
  for (const char* known : kHeifBrands) {
    if (std::memcmp(brand, known, 4) == 0) return true;
  }
  return false;
}

bool IsHeif(std::span<const uint8_t> head) {
  if (head.size() < 16 || std::memcmp(head.data() + 4, "ftyp", 4) != 0) return false;
  const uint32_t boxSize =
      (uint32_t{head[0]} << 24) | (uint32_t{head[1]} << 16) | (uint32_t{head[2]} << 8) | head[3];
  if (boxSize < 16) return false;
  if (IsHeifBrand(head.data() + 8)) return true;
  const size_t end = std::min<size_t>(boxSize, head.size());
  for (size_t at = 16; at + 4 <= end; at += 4) {
    if (IsHeifBrand(head.data() + at)) return true;
  }
  return false;
}

}  // namespace

TPictureType SniffPictureType(std::span<const uint8_t> head) {
  if (head.size() >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) {
    return TPictureType::ptJpeg;
  }
  if (head.size() >= sizeof kPngSignature &&
      std::memcmp(head.data(), kPngSignature, sizeof kPngSignature) == 0) {
    return TPictureType::ptPng;
  }
  if (IsHeif(head)) return TPictureType::ptHeif;
  return TPictureType::ptUnknown;
}

TPictureType PictureTypeOfName(std::string_view fileName) {
  const std::string name(fileName);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return TPictureType::ptUnknown;
  const std::string ext = name.substr(dot + 1);
  for (const char* e : {"jpg", "jpeg", "jpe", "jfif"}) {
    if (SameText(ext, e)) return TPictureType::ptJpeg;
  }
  if (SameText(ext, "png")) return TPictureType::ptPng;
  for (const char* e : {"heic", "heif", "hif"}) {
    if (SameText(ext, e)) return TPictureType::ptHeif;
  }
  return TPictureType::ptUnknown;
}

const char* PictureTypeName(TPictureType type) {
  switch (type) {
    case TPictureType::ptJpeg:
      return "JPEG";
    case TPictureType::ptPng:
      return "PNG";
    case TPictureType::ptHeif:
      return "HEIC/HEIF";
    case TPictureType::ptUnknown:
      break;
  }
  return "unknown";
}

bool PictureTypeSupported(TPictureType type) {
  switch (type) {
    case TPictureType::ptJpeg:
      return true;
    case TPictureType::ptPng:
      return PNGSupported();
    case TPictureType::ptHeif:
      return HeifDecodingSupported();
    case TPictureType::ptUnknown:
      break;
  }
  return false;
}

std::string AcceptedPictureTypes() {
  std::vector<std::string> names;
  for (TPictureType t : {TPictureType::ptJpeg, TPictureType::ptPng, TPictureType::ptHeif}) {
    if (PictureTypeSupported(t)) names.emplace_back(PictureTypeName(t));
  }
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace tovrin
