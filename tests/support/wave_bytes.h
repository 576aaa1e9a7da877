// The bytes of a PCM WAV file holding 16-bit samples (interleaved when there are two channels).
#pragma once

#include <cstdint>
#include <vector>

namespace tovrin::testing {

inline std::vector<uint8_t> WaveBytes(const std::vector<int16_t>& samples, uint16_t channels,
                                      uint32_t rate) {
  const auto dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  const auto tag = [&out](const char* t) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
  };
  const auto le = [&out](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  tag("RIFF");
  le(36 + dataBytes, 4);
  tag("WAVE");
  tag("fmt ");
  le(16, 4);
  le(1, 2);  // PCM
  le(channels, 2);
  le(rate, 4);
  le(rate * channels * 2, 4);  // bytes a second
  le(channels * 2u, 2);        // block
  le(16, 2);                   // bits
  tag("data");
  le(dataBytes, 4);
  for (const int16_t s : samples) le(static_cast<uint16_t>(s), 2);
  return out;
}

}  // namespace tovrin::testing
