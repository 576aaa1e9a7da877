#include "studio_server.h"

#include <httplib.h>

#include "core/errors.h"
#include "request_guard.h"
#include "studio_session.h"

namespace tovrin {

namespace {

// The largest body the server reads (the largest upload, a sound, and room for its headers);
// httplib answers 413 beyond it before anything is kept.
constexpr size_t kMaxBody = static_cast<size_t>(MaxSoundBytes) + (1 << 20);

std::optional<std::string_view> HeaderOf(const httplib::Request& request, const char* name) {
  if (!request.has_header(name)) return std::nullopt;
  // The value lives in the request's header map as long as the request does.
  const auto found = request.headers.find(name);
  return std::string_view(found->second);
}

}  // namespace

TStudioServer::TStudioServer(TStudioSession& session, std::string secret)
    : FSession(session), FSecret(std::move(secret)), FHttp(std::make_unique<httplib::Server>()) {
  FHttp->set_payload_max_length(kMaxBody);
  FHttp->set_keep_alive_timeout(5);
  FHttp->set_pre_routing_handler(
      [this](const httplib::Request& request, httplib::Response& response) {
        const TRequestParts parts{request.method, request.path, HeaderOf(request, "Host"),
                                  HeaderOf(request, "Origin")};
        if (const std::optional<std::string> refusal = RefusalOf(parts, FSecret, FPort)) {
          response.status = 403;
          response.set_content(*refusal + "\n", "text/plain; charset=utf-8");
          return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
      });
  // Nothing the studio sends may be framed by, or cached for, another page.
  FHttp->set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Frame-Options", "DENY");
    response.set_header("X-Content-Type-Options", "nosniff");
  });
  AddStudioRoutes(*FHttp, *this);
}

TStudioServer::~TStudioServer() {
  Stop();
}

int TStudioServer::Bind(int port) {
  if (port == 0) {
    FPort = FHttp->bind_to_any_port("127.0.0.1");
    if (FPort <= 0) throw Exception("cannot listen on 127.0.0.1");
  } else {
    if (!FHttp->bind_to_port("127.0.0.1", port)) {
      throw Exception("cannot listen on 127.0.0.1:" + std::to_string(port) +
                      " (is it taken? try another --port, or leave it out)");
    }
    FPort = port;
  }
  return FPort;
}

void TStudioServer::Run() {
  FHttp->listen_after_bind();
}

void TStudioServer::Stop() {
  FStopping = true;
  FHttp->stop();
}

std::string TStudioServer::Address() const {
  return "http://127.0.0.1:" + std::to_string(FPort) + "/" + FSecret + "/";
}

std::optional<std::chrono::steady_clock::time_point> TStudioServer::LastSignOfLife() const {
  std::lock_guard lock(FLifeLock);
  return FLastLife;
}

void TStudioServer::NoteSignOfLife() {
  std::lock_guard lock(FLifeLock);
  FLastLife = std::chrono::steady_clock::now();
}

}  // namespace tovrin
