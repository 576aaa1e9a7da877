#include "request_guard.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "core/errors.h"

namespace tovrin {

std::string MakeSecret() {
  std::array<uint8_t, 16> bytes{};
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = getrandom(bytes.data() + got, bytes.size() - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Exception("cannot read the system's random source for the studio's secret");
    got += static_cast<size_t>(n);
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string secret;
  for (const uint8_t b : bytes) {
    secret += kDigits[b >> 4];
    secret += kDigits[b & 15];
  }
  return secret;
}

bool ConstantTimeEquals(std::string_view a, std::string_view b) {
  // The length of the secret is no secret; the bytes are all compared whatever they hold.
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return difference == 0;
}

namespace {

bool IsOwnAuthority(std::string_view value, std::string_view scheme, int port) {
  const std::string suffix = ":" + std::to_string(port);
  for (const char* host : {"127.0.0.1", "localhost"}) {
    if (value == std::string(scheme) + host + suffix) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> RefusalOf(const TRequestParts& request, std::string_view secret,
                                     int port) {
  if (!request.Host || !IsOwnAuthority(*request.Host, "", port)) {
    return "refused: this address serves only its own page on this computer";
  }
  const bool reads = request.Method == "GET" || request.Method == "HEAD";
  if (!reads && request.Origin && !IsOwnAuthority(*request.Origin, "http://", port)) {
    return "refused: a request from another web site";
  }
  const std::string_view path = request.Path;
  const size_t end = path.find('/', 1);
  if (path.empty() || path[0] != '/' || end == std::string_view::npos ||
      !ConstantTimeEquals(path.substr(1, end - 1), secret)) {
    return "refused: open the studio with the address it printed when it started";
  }
  return std::nullopt;
}

std::string_view PathAfterSecret(std::string_view path, std::string_view secret) {
  const size_t skip = secret.size() + 2;
  return path.size() >= skip ? path.substr(skip) : std::string_view();
}

}  // namespace tovrin
