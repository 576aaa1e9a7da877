// Base64 (RFC 4648, with padding), for the bytes of uploaded files in a project file.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

std::string EncodeBase64(std::span<const uint8_t> bytes);

// Nothing when `text` is not well-formed base64 (a character outside the alphabet, a length that
// is not a multiple of 4, padding anywhere but at the end).
std::optional<std::vector<uint8_t>> DecodeBase64(std::string_view text);

}  // namespace tovrin
