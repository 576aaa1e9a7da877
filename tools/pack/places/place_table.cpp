#include "place_table.h"

#include <cstring>

#include "core/errors.h"

namespace tovrin {

namespace {

constexpr char kMagic[4] = {'T', 'V', 'P', 'L'};
constexpr uint32_t kVersion = 1;

[[noreturn]] void Refuse(const std::string& why) {
  throw EConvertError("table of places: " + why);
}

// Reads the table front to back; every read checks that its bytes are there.
class TTableReader {
 public:
  explicit TTableReader(std::span<const uint8_t> bytes) : FBytes(bytes) {}

  uint32_t U32() {
    const std::span<const uint8_t> b = Take(4);
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
  }
  uint16_t U16() {
    const std::span<const uint8_t> b = Take(2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::string Text() {
    const size_t length = Take(1)[0];
    const std::span<const uint8_t> b = Take(length);
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
  }
  std::span<const uint8_t> Take(size_t n) {
    if (n > FBytes.size() - FAt) Refuse("cut short at byte " + std::to_string(FBytes.size()));
    const std::span<const uint8_t> b = FBytes.subspan(FAt, n);
    FAt += n;
    return b;
  }
  size_t Left() const { return FBytes.size() - FAt; }

 private:
  std::span<const uint8_t> FBytes;
  size_t FAt = 0;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
  if (text.size() > 255) Refuse("a name longer than 255 bytes: " + text);
  out.push_back(static_cast<uint8_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

TPlaceTable ReadPlaceTable(std::span<const uint8_t> bytes) {
  TPlaceTable table;
  if (bytes.empty()) return table;
  TTableReader in(bytes);
  if (std::memcmp(in.Take(4).data(), kMagic, 4) != 0) Refuse("not a table of places");
  if (const uint32_t version = in.U32(); version != kVersion) {
    Refuse("version " + std::to_string(version) + " (this tool reads version 1)");
  }
  const uint32_t countries = in.U32();
  const uint32_t places = in.U32();
  // Each entry takes at least one byte (a country) or eleven (a place): counts that the bytes
  // cannot hold are refused before anything is reserved for them.
  if (countries > 0x10000 || countries > in.Left() || places > (in.Left() - countries) / 11) {
    Refuse("counts larger than the table");
  }
  table.Countries.reserve(countries);
  for (uint32_t i = 0; i < countries; ++i) table.Countries.push_back(in.Text());
  table.Places.reserve(places);
  for (uint32_t i = 0; i < places; ++i) {
    TPlace place{};
    place.Latitude = in.I32();
    place.Longitude = in.I32();
    place.Country = in.U16();
    place.Name = in.Text();
    if (place.Latitude < -90 * kPlaceUnitsPerDegree || place.Latitude > 90 * kPlaceUnitsPerDegree ||
        place.Longitude < -180 * kPlaceUnitsPerDegree ||
        place.Longitude > 180 * kPlaceUnitsPerDegree || place.Country >= countries) {
      Refuse("place " + std::to_string(i) + " lies off the globe or in no country listed");
    }
    table.Places.push_back(std::move(place));
  }
  if (in.Left() != 0) Refuse(std::to_string(in.Left()) + " bytes after the last place");
  return table;
}

std::vector<uint8_t> WritePlaceTable(const TPlaceTable& table) {
  std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
  PutU32(out, kVersion);
  PutU32(out, static_cast<uint32_t>(table.Countries.size()));
  PutU32(out, static_cast<uint32_t>(table.Places.size()));
  for (const std::string& country : table.Countries) PutText(out, country);
  for (const TPlace& place : table.Places) {
    if (place.Country >= table.Countries.size()) Refuse("a country index out of range");
    PutU32(out, static_cast<uint32_t>(place.Latitude));
    PutU32(out, static_cast<uint32_t>(place.Longitude));
    out.push_back(static_cast<uint8_t>(place.Country));
    out.push_back(static_cast<uint8_t>(place.Country >> 8));
    PutText(out, place.Name);
  }
  return out;
}

}  // namespace tovrin
