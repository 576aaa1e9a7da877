// TStudioServer: the studio's HTTP server on 127.0.0.1. Every request passes the guard
// (request_guard.h) first; the routes (studio_routes.cpp) turn the rest into calls on the
// session. It also keeps the time of the page's last sign of life, which decides when the
// studio ends.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace httplib {
class Server;
}

namespace tovrin {

class TStudioSession;

class TStudioServer {
 public:
  TStudioServer(TStudioSession& session, std::string secret);
  ~TStudioServer();
  TStudioServer(const TStudioServer&) = delete;
  TStudioServer& operator=(const TStudioServer&) = delete;

  // Binds 127.0.0.1:port (0: any free port) and returns the port. Raises Exception when the
  // port cannot be had.
  int Bind(int port);
  // Serves until Stop; call after Bind, on a thread of its own.
  void Run();
  // Ends Run and every preview stream; safe from any thread, more than once.
  void Stop();
  bool Stopping() const { return FStopping; }

  // "http://127.0.0.1:PORT/SECRET/", the page's address.
  std::string Address() const;
  int Port() const { return FPort; }
  const std::string& Secret() const { return FSecret; }

  // When the page last loaded or called api/alive; nothing before the first page load.
  std::optional<std::chrono::steady_clock::time_point> LastSignOfLife() const;
  void NoteSignOfLife();

  TStudioSession& Session() { return FSession; }

 private:
  TStudioSession& FSession;
  std::string FSecret;
  int FPort = 0;
  std::unique_ptr<httplib::Server> FHttp;
  std::atomic<bool> FStopping{false};
  mutable std::mutex FLifeLock;
  std::optional<std::chrono::steady_clock::time_point> FLastLife;
};

// Adds the page's files and the API to the server (studio_routes.cpp).
void AddStudioRoutes(httplib::Server& http, TStudioServer& studio);

}  // namespace tovrin
