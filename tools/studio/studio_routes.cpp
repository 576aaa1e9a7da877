// The studio's routes: each reads its request, calls the session and writes the answer. Every
// path here follows "/SECRET/"; the guard in the server has checked the secret, Host and Origin.
// JSON in and out; a refusal is {"error": "what to do"} with 400 (a bad value), 403 (outside the
// folders given), 404 (unknown id), 413 (too large) or 422 (an unreadable photo).
#include <httplib.h>

#include <cctype>
#include <charconv>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>

#include "caption_fonts.h"
#include "core/errors.h"
#include "core/paths.h"
#include "page_files.h"
#include "show_preview.h"
#include "studio_errors.h"
#include "studio_server.h"
#include "studio_session.h"
#include "style_names.h"

namespace tovrin {

namespace {

using httplib::Request;
using httplib::Response;
using nlohmann::json;

constexpr const char* kJson = "application/json";

void SendJson(Response& response, const json& body, int status = 200) {
  response.status = status;
  response.set_content(body.dump(), kJson);
}

void SendError(Response& response, int status, const std::string& message) {
  SendJson(response, json{{"error", message}}, status);
}

int StatusOf(TStudioFault fault) {
  switch (fault) {
    case TStudioFault::sfBadRequest:
      return 400;
    case TStudioFault::sfOutside:
      return 403;
    case TStudioFault::sfUnknown:
      return 404;
    case TStudioFault::sfUnreadable:
      return 422;
    case TStudioFault::sfTooLarge:
      return 413;
  }
  return 500;
}

// Runs a route's work; the session's refusals become their statuses, anything else a 500 that
// still says what went wrong.
template <class F>
httplib::Server::Handler Route(F work) {
  return [work](const Request& request, Response& response) {
    try {
      work(request, response);
    } catch (const EStudioError& e) {
      SendError(response, StatusOf(e.Fault()), e.Message());
    } catch (const json::exception& e) {
      SendError(response, 400, std::string("send JSON as the studio's API describes: ") + e.what());
    } catch (const std::exception& e) {
      SendError(response, 500, e.what());
    }
  };
}

json Parse(const Request& request) {
  json body = json::parse(request.body, nullptr, false);
  if (body.is_discarded()) {
    throw EStudioError(TStudioFault::sfBadRequest, "the request's body is not JSON");
  }
  return body;
}

// A whole-number query parameter within [low, high], or `otherwise` when absent.
int32_t IntParam(const Request& request, const char* name, int32_t low, int32_t high,
                 int32_t otherwise) {
  if (!request.has_param(name)) return otherwise;
  const std::string text = request.get_param_value(name);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw EStudioError(TStudioFault::sfBadRequest,
                       std::string(name) + ": give a whole number from " + std::to_string(low) +
                           " to " + std::to_string(high));
  }
  return value;
}

std::string PercentDecoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int value = 0;
      const auto [end, ec] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
      if (ec == std::errc() && end == text.data() + i + 3) {
        out += static_cast<char>(value);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string UploadName(const Request& request) {
  if (!request.has_header("X-File-Name")) {
    throw EStudioError(TStudioFault::sfBadRequest,
                       "send the file's name in the X-File-Name header (percent-encoded UTF-8)");
  }
  return PercentDecoded(request.get_header_value("X-File-Name"));
}

std::span<const uint8_t> BodyBytes(const Request& request) {
  return {reinterpret_cast<const uint8_t*>(request.body.data()), request.body.size()};
}

std::vector<std::string> Ids(const json& body) {
  if (!body.is_object() || !body.contains("ids") || !body["ids"].is_array()) {
    throw EStudioError(TStudioFault::sfBadRequest, "send {\"ids\": [...]} in the new order");
  }
  std::vector<std::string> ids;
  for (const json& id : body["ids"]) {
    if (!id.is_string()) throw EStudioError(TStudioFault::sfBadRequest, "ids: texts only");
    ids.push_back(id.get<std::string>());
  }
  return ids;
}

json PhotoJson(const TStudioPhoto& photo) {
  json out{{"id", photo.Id},         {"name", photo.Name},   {"width", photo.Width},
           {"height", photo.Height}, {"bytes", photo.Bytes}, {"ok", photo.Ok}};
  if (!photo.Ok) out["error"] = photo.Error;
  return out;
}

json SoundJson(const TStudioSound& sound) {
  return json{{"id", sound.Id}, {"name", sound.Name}, {"bytes", sound.Bytes}};
}

json StateJson(const TStudioSession& session) {
  json photos = json::array();
  for (const TStudioPhoto& photo : session.Photos()) photos.push_back(PhotoJson(photo));
  json sounds = json::array();
  for (const TStudioSound& sound : session.Sounds()) sounds.push_back(SoundJson(sound));
  return json{{"photos", std::move(photos)},
              {"sounds", std::move(sounds)},
              {"choices", ChoicesToJson(session.Choices())},
              {"targets",
               {{"linux", session.HasTarget("linux")}, {"windows", session.HasTarget("windows")}}},
              {"estimatedBytes", session.EstimatedBytes()},
              {"version", TOVRIN_STUDIO_VERSION}};
}

std::string_view AudioTypeOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "mp3") return "audio/mpeg";
  if (ext == "wav") return "audio/wav";
  if (ext == "ogg" || ext == "oga") return "audio/ogg";
  if (ext == "flac") return "audio/flac";
  if (ext == "m4a" || ext == "aac") return "audio/mp4";
  if (ext == "mid" || ext == "midi") return "audio/midi";
  return "application/octet-stream";
}

// Sends a file from disk in pieces, without holding it in memory.
void SendFile(Response& response, const std::string& path, std::string_view type) {
  auto file = std::make_shared<std::ifstream>(PathFromUtf8(path), std::ios::binary);
  if (!*file) throw EStudioError(TStudioFault::sfUnknown, "the file is gone");
  file->seekg(0, std::ios::end);
  const auto size = static_cast<size_t>(file->tellg());
  file->seekg(0);
  response.set_content_provider(size, std::string(type),
                                [file](size_t offset, size_t length, httplib::DataSink& sink) {
                                  char buffer[1 << 16];
                                  file->seekg(static_cast<std::streamoff>(offset));
                                  const size_t want = std::min(length, sizeof buffer);
                                  file->read(buffer, static_cast<std::streamsize>(want));
                                  const auto got = static_cast<size_t>(file->gcount());
                                  return got > 0 && sink.write(buffer, got);
                                });
}

// "My saver" -> attachment; filename="My saver"; filename*=UTF-8''My%20saver
std::string AttachmentHeader(const std::string& name) {
  std::string ascii;
  std::string encoded;
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const unsigned char c : name) {
    const bool plain = std::isalnum(c) || std::strchr("-._~", c) != nullptr;
    ascii += (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') ? static_cast<char>(c) : '_';
    if (plain) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return "attachment; filename=\"" + ascii + "\"; filename*=UTF-8''" + encoded;
}

const char* StateName(TBuildState state) {
  switch (state) {
    case TBuildState::bsRunning:
      return "running";
    case TBuildState::bsDone:
      return "done";
    case TBuildState::bsFailed:
      return "failed";
  }
  return "failed";
}

}  // namespace

void AddStudioRoutes(httplib::Server& http, TStudioServer& studio) {
  const std::string base = "/" + studio.Secret() + "/";
  const std::string api = base + "api/";
  TStudioSession& session = studio.Session();

  // The page's files; loading the page counts as a sign of life.
  http.Get(base, Route([&studio](const Request&, Response& response) {
             const TPageFile* page = FindPageFile("index.html");
             if (page == nullptr) throw EStudioError(TStudioFault::sfUnknown, "no page");
             studio.NoteSignOfLife();
             response.set_content(reinterpret_cast<const char*>(page->Bytes.data()),
                                  page->Bytes.size(), std::string(ContentTypeFor(page->Name)));
           }));
  http.Get(api + "state", Route([&session](const Request&, Response& response) {
             SendJson(response, StateJson(session));
           }));
  http.Post(api + "alive", Route([&studio](const Request&, Response& response) {
              studio.NoteSignOfLife();
              response.status = 204;
            }));

  // Photos.
  http.Post(api + "photos", Route([&session](const Request& request, Response& response) {
              SendJson(response,
                       PhotoJson(session.AddPhoto(UploadName(request), BodyBytes(request))), 201);
            }));
  http.Post(api + "photos/folder", Route([&session](const Request& request, Response& response) {
              const json body = Parse(request);
              if (!body.is_object() || !body.contains("path") || !body["path"].is_string()) {
                throw EStudioError(TStudioFault::sfBadRequest, "send {\"path\": \"/folder\"}");
              }
              json photos = json::array();
              for (const TStudioPhoto& photo : session.AddPhotoFolder(body["path"])) {
                photos.push_back(PhotoJson(photo));
              }
              SendJson(response, json{{"photos", std::move(photos)}});
            }));
  http.Put(api + "photos/order", Route([&session](const Request& request, Response& response) {
             session.OrderPhotos(Ids(Parse(request)));
             response.status = 204;
           }));
  http.Get(api + R"(photos/([A-Za-z0-9]+)/thumb)",
           Route([&session](const Request& request, Response& response) {
             const int32_t size = IntParam(request, "size", 64, 512, 256);
             const std::vector<uint8_t> jpeg = session.Thumbnail(request.matches[1], size);
             response.set_content(reinterpret_cast<const char*>(jpeg.data()), jpeg.size(),
                                  "image/jpeg");
           }));
  http.Delete(api + R"(photos/([A-Za-z0-9]+))",
              Route([&session](const Request& request, Response& response) {
                session.RemovePhoto(request.matches[1]);
                response.status = 204;
              }));

  // Sounds.
  http.Post(api + "sounds", Route([&session](const Request& request, Response& response) {
              SendJson(response,
                       SoundJson(session.AddSound(UploadName(request), BodyBytes(request))), 201);
            }));
  http.Put(api + "sounds/order", Route([&session](const Request& request, Response& response) {
             session.OrderSounds(Ids(Parse(request)));
             response.status = 204;
           }));
  http.Get(api + R"(sounds/([A-Za-z0-9]+))",
           Route([&session](const Request& request, Response& response) {
             const TStudioSound sound = session.Sound(request.matches[1]);
             SendFile(response, sound.Path, AudioTypeOf(sound.Name));
           }));
  http.Delete(api + R"(sounds/([A-Za-z0-9]+))",
              Route([&session](const Request& request, Response& response) {
                session.RemoveSound(request.matches[1]);
                response.status = 204;
              }));

  // Styles and choices.
  http.Get(api + "styles", Route([](const Request&, Response& response) {
             json styles = json::array();
             for (int32_t n = 0; n < 128; ++n) {
               const TStyleName name = StyleName(n);
               styles.push_back(json{{"number", n}, {"name", name.Name}, {"family", name.Family}});
             }
             SendJson(response, styles);
           }));
  http.Get(
      api + R"(styles/(\d+)/strip)", Route([&session](const Request& request, Response& response) {
        const std::string number = request.matches[1];
        const int32_t style = number.size() > 3 ? -1 : std::stoi(number);
        const std::vector<uint8_t> jpeg = session.StyleStrip(
            style, IntParam(request, "w", 16, 320, 160), IntParam(request, "h", 16, 180, 90),
            IntParam(request, "frames", 1, 24, 12));
        response.set_content(reinterpret_cast<const char*>(jpeg.data()), jpeg.size(), "image/jpeg");
      }));
  http.Put(api + "choices", Route([&session](const Request& request, Response& response) {
             session.SetChoices(Parse(request));
             response.status = 204;
           }));
  http.Get(api + "fonts", Route([](const Request&, Response& response) {
             SendJson(response, json(CaptionFonts()));
           }));

  // Preview.
  http.Get(api + "preview/frame", Route([&session](const Request& request, Response& response) {
             const TPreviewSize size{IntParam(request, "w", 16, 1280, 960),
                                     IntParam(request, "h", 16, 720, 540)};
             const int32_t t = IntParam(request, "t", 0, 3'600'000, 0);
             const std::vector<uint8_t> jpeg =
                 PreviewFrame(session.PreviewSaver(), size, static_cast<uint32_t>(t));
             response.set_content(reinterpret_cast<const char*>(jpeg.data()), jpeg.size(),
                                  "image/jpeg");
           }));
  http.Get(api + "preview", Route([&session, &studio](const Request& request, Response& response) {
             const TPreviewSize size{IntParam(request, "w", 16, 1280, 960),
                                     IntParam(request, "h", 16, 720, 540)};
             const std::string saver = session.PreviewSaver();
             response.set_chunked_content_provider(
                 "multipart/x-mixed-replace; boundary=frame",
                 [saver, size, &studio](size_t, httplib::DataSink& sink) {
                   StreamPreview(saver, size, PreviewStreamMs, [&](std::span<const uint8_t> jpeg) {
                     if (studio.Stopping() || !sink.is_writable()) return false;
                     const std::string head =
                         "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                         std::to_string(jpeg.size()) + "\r\n\r\n";
                     return sink.write(head.data(), head.size()) &&
                            sink.write(reinterpret_cast<const char*>(jpeg.data()), jpeg.size()) &&
                            sink.write("\r\n", 2);
                   });
                   sink.done();
                   return true;
                 });
           }));

  // Builds.
  http.Post(api + "build", Route([&session](const Request& request, Response& response) {
              const json body = Parse(request);
              std::vector<std::string> targets;
              if (body.contains("targets")) {
                for (const json& t : body.at("targets")) targets.push_back(t.get<std::string>());
              }
              const std::string name = body.value("name", std::string("My saver"));
              SendJson(response, json{{"job", session.StartBuild(targets, name)}}, 202);
            }));
  http.Get(api + R"(build/([A-Za-z0-9]+))",
           Route([&session](const Request& request, Response& response) {
             const std::string job = request.matches[1];
             const TBuildStatus status = session.Build(job);
             json files = json::array();
             for (const TBuiltFile& file : status.Files) {
               files.push_back(json{{"target", file.Target},
                                    {"name", file.Name},
                                    {"url", "api/build/" + job + "/" + file.Target},
                                    {"bytes", file.Bytes}});
             }
             SendJson(response, json{{"state", StateName(status.State)},
                                     {"progress", status.Progress},
                                     {"message", status.Message},
                                     {"error", status.Error},
                                     {"files", std::move(files)}});
           }));
  http.Get(api + R"(build/([A-Za-z0-9]+)/(linux|windows))",
           Route([&session](const Request& request, Response& response) {
             const TBuildStatus status = session.Build(request.matches[1]);
             for (const TBuiltFile& file : status.Files) {
               if (file.Target != request.matches[2]) continue;
               response.set_header("Content-Disposition", AttachmentHeader(file.Name));
               SendFile(response, file.Path, "application/octet-stream");
               return;
             }
             SendError(response, 404, "that build has no such saver (yet)");
           }));

  // The project file.
  http.Get(api + "project", Route([&session](const Request&, Response& response) {
             response.set_header("Content-Disposition",
                                 AttachmentHeader("saver.tovrin-studio.json"));
             SendJson(response, session.Project());
           }));
  http.Post(api + "project", Route([&session](const Request& request, Response& response) {
              session.OpenProject(Parse(request));
              response.status = 204;
            }));

  // The page's other files; after the API, whose paths this pattern would match too.
  http.Get(base + R"(([A-Za-z0-9_./-]+))", Route([](const Request& request, Response& response) {
             const std::string name = request.matches[1];
             const TPageFile* page =
                 name.find("..") == std::string::npos ? FindPageFile(name) : nullptr;
             if (page == nullptr) {
               SendError(response, 404, "no such file in the studio's page");
               return;
             }
             response.set_content(reinterpret_cast<const char*>(page->Bytes.data()),
                                  page->Bytes.size(), std::string(ContentTypeFor(page->Name)));
           }));
}

}  // namespace tovrin
