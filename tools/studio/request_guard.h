// What keeps other web sites and other local users from driving the studio: every request must
// carry the secret as its first path segment, name the studio's own address in Host, and a request
// that changes something must not come from another origin. Plain functions of the request's
// parts, so they are tested without sockets.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

// 32 lowercase hexadecimal characters from the system's cryptographic source (getrandom).
// Raises Exception when the source fails: a studio without a secret must not start.
std::string MakeSecret();

// True when a equals b, in a time that does not depend on where they differ.
bool ConstantTimeEquals(std::string_view a, std::string_view b);

struct TRequestParts {
  std::string_view Method;  // "GET", "POST", ...
  std::string_view Path;    // as requested, without the query
  std::optional<std::string_view> Host;
  std::optional<std::string_view> Origin;
};

// Why a request is refused (a short sentence for the 403 body), or nothing when it may proceed.
// Allowed: Host "127.0.0.1:PORT" or "localhost:PORT"; Origin, on any method but GET and HEAD,
// absent or "http://127.0.0.1:PORT" / "http://localhost:PORT"; a path "/SECRET/..." .
std::optional<std::string> RefusalOf(const TRequestParts& request, std::string_view secret,
                                     int port);

// The path after "/SECRET/" (the secret checked by RefusalOf first): "/s/api/state" -> "api/state".
std::string_view PathAfterSecret(std::string_view path, std::string_view secret);

}  // namespace tovrin
