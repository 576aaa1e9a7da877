// The studio's server over loopback with httplib's client: who is refused, the page, and the
// answers the page builds on.
#include <httplib.h>

#include <thread>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "base64.h"
#include "gfx/jpeg_decoder.h"
#include "request_guard.h"
#include "studio_fixture.h"
#include "studio_server.h"

namespace tovrin::test {
namespace {

using nlohmann::json;

class StudioServerTest : public StudioTest {
 protected:
  void SetUp() override {
    StudioTest::SetUp();
    FServer = std::make_unique<TStudioServer>(Session(), MakeSecret());
    FPort = FServer->Bind(0);
    FThread = std::thread([this] { FServer->Run(); });
    FClient = std::make_unique<httplib::Client>("127.0.0.1", FPort);
    FClient->set_read_timeout(30);
    // Run() may not have started listening yet; the socket is bound, so requests wait in the
    // backlog until it does.
  }
  void TearDown() override {
    FServer->Stop();
    FThread.join();
    FServer.reset();
    StudioTest::TearDown();
  }
  std::string Own() const { return "127.0.0.1:" + std::to_string(FPort); }
  std::string Base() const { return "/" + FServer->Secret() + "/"; }

  std::unique_ptr<TStudioServer> FServer;
  int FPort = 0;
  std::thread FThread;
  std::unique_ptr<httplib::Client> FClient;
};

TEST_F(StudioServerTest, RequestsFromAnyoneButItsOwnPageAreRefused) {
  const std::string secret = FServer->Secret();
  std::string wrong = secret;
  wrong.back() = wrong.back() == '0' ? '1' : '0';
  const std::string own = Own();
  const std::string origin = "http://" + own;
  struct TCase {
    const char* What;
    std::string Method;
    std::string Path;
    httplib::Headers Headers;
    std::string Body;
    int Status;
  };
  const std::string inside = FPhotos.string();
  const std::string outside = (FDir / "elsewhere").string();
  const TCase cases[] = {
      {"the page", "GET", "/" + secret + "/", {}, "", 200},
      {"the state", "GET", "/" + secret + "/api/state", {}, "", 200},
      {"localhost as host",
       "GET",
       "/" + secret + "/api/state",
       {{"Host", "localhost:" + std::to_string(FPort)}},
       "",
       200},
      {"no secret", "GET", "/api/state", {}, "", 403},
      {"no secret, root", "GET", "/", {}, "", 403},
      {"a wrong secret", "GET", "/" + wrong + "/api/state", {}, "", 403},
      {"the secret cut short", "GET", "/" + secret.substr(0, 31) + "/api/state", {}, "", 403},
      {"the secret without its slash", "GET", "/" + secret, {}, "", 403},
      {"a foreign host",
       "GET",
       "/" + secret + "/api/state",
       {{"Host", "evil.example:80"}},
       "",
       403},
      {"a rebinding host on our port",
       "GET",
       "/" + secret + "/api/state",
       {{"Host", "evil.example:" + std::to_string(FPort)}},
       "",
       403},
      {"our host on another port",
       "GET",
       "/" + secret + "/api/state",
       {{"Host", "127.0.0.1:1"}},
       "",
       403},
      {"a foreign origin posting",
       "POST",
       "/" + secret + "/api/alive",
       {{"Origin", "http://evil.example"}},
       "",
       403},
      {"a foreign origin on our host's name",
       "PUT",
       "/" + secret + "/api/choices",
       {{"Origin", "http://127.0.0.1:1"}},
       "{}",
       403},
      {"a null origin", "DELETE", "/" + secret + "/api/photos/p1", {{"Origin", "null"}}, "", 403},
      {"our own origin posting",
       "POST",
       "/" + secret + "/api/alive",
       {{"Origin", origin}},
       "",
       204},
      {"a folder outside the given ones",
       "POST",
       "/" + secret + "/api/photos/folder",
       {},
       json{{"path", outside}}.dump(),
       403},
      {"a folder inside",
       "POST",
       "/" + secret + "/api/photos/folder",
       {},
       json{{"path", inside}}.dump(),
       200},
      {"an unknown path", "GET", "/" + secret + "/api/nothing", {}, "", 404},
      {"an unknown page file", "GET", "/" + secret + "/nothing.js", {}, "", 404},
      {"a bad body", "PUT", "/" + secret + "/api/choices", {}, "{not json", 400},
      {"an unknown photo", "GET", "/" + secret + "/api/photos/p999/thumb", {}, "", 404},
  };
  for (const TCase& c : cases) {
    httplib::Result r =
        c.Method == "GET"    ? FClient->Get(c.Path.c_str(), c.Headers)
        : c.Method == "POST" ? FClient->Post(c.Path.c_str(), c.Headers, c.Body, "application/json")
        : c.Method == "PUT"  ? FClient->Put(c.Path.c_str(), c.Headers, c.Body, "application/json")
                             : FClient->Delete(c.Path.c_str(), c.Headers);
    ASSERT_TRUE(r) << c.What;
    EXPECT_EQ(r->status, c.Status) << c.What << ": " << r->body;
  }
}

TEST_F(StudioServerTest, ThePageIsServedFromTheToolWithItsContentType) {
  httplib::Result r = FClient->Get(Base().c_str());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(r->body.find("<html"), std::string::npos);
  EXPECT_TRUE(FServer->LastSignOfLife().has_value());
}

TEST_F(StudioServerTest, AnUploadedPhotoComesBackAsAnUprightThumbnail) {
  httplib::Headers headers{{"X-File-Name", "Sommer%20%C3%A9t%C3%A9.jpg"}};
  const std::vector<uint8_t> photo = PhotoJpeg(200, 100, 6);
  httplib::Result r =
      FClient->Post((Base() + "api/photos").c_str(), headers,
                    std::string(photo.begin(), photo.end()), "application/octet-stream");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 201) << r->body;
  const json added = json::parse(r->body);
  EXPECT_EQ(added["name"], "Sommer \xc3\xa9t\xc3\xa9.jpg");
  EXPECT_EQ(added["width"], 200);
  EXPECT_EQ(added["height"], 100);
  r = FClient->Get(
      (Base() + "api/photos/" + added["id"].get<std::string>() + "/thumb?size=100").c_str());
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200);
  EXPECT_EQ(r->get_header_value("Content-Type"), "image/jpeg");
  const TBitmap thumb =
      DecodeJPEG(reinterpret_cast<const uint8_t*>(r->body.data()), r->body.size());
  EXPECT_EQ(thumb.Width(), 100);
  EXPECT_EQ(thumb.Height(), 50);
  for (const char* size : {"abc", "63", "513", "100x"}) {
    r = FClient->Get(
        (Base() + "api/photos/" + added["id"].get<std::string>() + "/thumb?size=" + size).c_str());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 400) << size;
  }
}

TEST_F(StudioServerTest, AStripIsFramesTimesTheWidthAsked) {
  httplib::Result r = FClient->Get((Base() + "api/styles/118/strip?w=64&h=36&frames=5").c_str());
  ASSERT_TRUE(r);
  ASSERT_EQ(r->status, 200);
  const TBitmap strip =
      DecodeJPEG(reinterpret_cast<const uint8_t*>(r->body.data()), r->body.size());
  EXPECT_EQ(strip.Width(), 320);
  EXPECT_EQ(strip.Height(), 36);
  r = FClient->Get((Base() + "api/styles").c_str());
  ASSERT_TRUE(r);
  const json styles = json::parse(r->body);
  ASSERT_EQ(styles.size(), 128u);
  std::set<std::string> names;
  for (const json& style : styles) names.insert(style["name"].get<std::string>());
  EXPECT_EQ(names.size(), 128u) << "every style has a name of its own";
}

TEST(Base64Test, RoundTripsAndRefusesWhatIsNotBase64) {
  const std::pair<std::vector<uint8_t>, std::string> known[] = {
      {{}, ""},
      {{'f'}, "Zg=="},
      {{'f', 'o'}, "Zm8="},
      {{'f', 'o', 'o'}, "Zm9v"},
      {{0xFF, 0xFE, 0x00, 0x3E}, "//4APg=="},
  };
  for (const auto& [bytes, text] : known) {
    EXPECT_EQ(EncodeBase64(bytes), text);
    EXPECT_EQ(DecodeBase64(text), bytes) << text;
  }
  for (const char* bad : {"Zg=", "Z===", "Zg==Zg==", "Z=g=", "Zm9v!A==", "Zm 9"}) {
    EXPECT_EQ(DecodeBase64(bad), std::nullopt) << bad;
  }
}

TEST(SecretTest, IsThirtyTwoHexDigitsAndNeverTheSame) {
  const std::string a = MakeSecret();
  const std::string b = MakeSecret();
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_NE(a, b);
}

}  // namespace
}  // namespace tovrin::test
