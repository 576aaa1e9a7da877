// The studio's session without HTTP: photos and sounds in and out, their order, the choices and
// their refusals, the folders it may read, builds checked by tovrin-pack inspect, the project
// file, thumbnails and strips.
#include <cstdio>
#include <filesystem>
#include <memory>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "gfx/jpeg_decoder.h"
#include "import/box_downscale.h"
#include "show_preview.h"
#include "studio_errors.h"
#include "studio_fixture.h"
#include "style_strip.h"
#include "thumbnail.h"

namespace tovrin::test {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::vector<std::string> NamesOf(const std::vector<TStudioPhoto>& photos) {
  std::vector<std::string> names;
  for (const TStudioPhoto& photo : photos) names.push_back(photo.Name);
  return names;
}

std::vector<std::string> IdsOf(const std::vector<TStudioPhoto>& photos) {
  std::vector<std::string> ids;
  for (const TStudioPhoto& photo : photos) ids.push_back(photo.Id);
  return ids;
}

// The fault a call raises, or nothing.
template <class F>
std::optional<TStudioFault> FaultOf(F call) {
  try {
    call();
  } catch (const EStudioError& e) {
    return e.Fault();
  }
  return std::nullopt;
}

json Inspect(const fs::path& saver) {
  const std::string command =
      std::string(TOVRIN_PACK_EXE) + " inspect --json '" + saver.string() + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  return json::parse(out);
}

TEST_F(StudioTest, TheFoldersGivenAreReadAtStartInNameOrderWithUprightSizes) {
  TStudioSession& session = Session();
  const std::vector<TStudioPhoto> photos = session.Photos();
  EXPECT_EQ(NamesOf(photos), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
  ASSERT_EQ(photos.size(), 3u);
  EXPECT_EQ(photos[1].Width, 48);
  EXPECT_EQ(photos[1].Height, 64);
  for (const TStudioPhoto& photo : photos) EXPECT_TRUE(photo.Ok) << photo.Name;
}

TEST_F(StudioTest, OnlyFoldersAtOrUnderTheGivenOnesAreRead) {
  fs::create_symlink(FDir / "elsewhere", FPhotos / "link");
  struct TCase {
    std::string Path;
    bool Allowed;
  };
  const TCase cases[] = {
      {FPhotos.string(), true},
      {(FPhotos / "inner").string(), true},
      {(FPhotos / "inner" / "..").string(), true},
      {(FDir / "elsewhere").string(), false},
      {(FPhotos / ".." / "elsewhere").string(), false},
      {(FPhotos / "link").string(), false},  // a link inside leading outside
      {FDir.string(), false},                // the parent of a given folder
      {"/", false},
      {"photos/inner", false},  // relative
      {(FDir / "photos-twin").string(), false},
  };
  fs::create_directories(FDir / "photos-twin");
  WriteFile(FDir / "photos-twin" / "e.jpg", PhotoJpeg(16, 16));
  TStudioSession& session = Session(false);
  for (const TCase& c : cases) {
    const auto fault = FaultOf([&] { session.AddPhotoFolder(c.Path); });
    if (c.Allowed) {
      EXPECT_EQ(fault, std::nullopt) << c.Path;
    } else {
      EXPECT_EQ(fault, TStudioFault::sfOutside) << c.Path;
    }
  }
}

TEST_F(StudioTest, PhotosAreReorderedOnlyByAPermutationOfTheirIds) {
  TStudioSession& session = Session();
  const std::vector<std::string> ids = IdsOf(session.Photos());
  session.OrderPhotos({ids[2], ids[0], ids[1]});
  EXPECT_EQ(NamesOf(session.Photos()), (std::vector<std::string>{"c.jpg", "a.jpg", "b.jpg"}));
  const std::vector<std::vector<std::string>> refused = {
      {ids[0], ids[1]},                  // one missing
      {ids[0], ids[1], ids[1]},          // one twice
      {ids[0], ids[1], ids[2], "p999"},  // an unknown one besides
      {ids[0], ids[1], "p999"},
      {},
  };
  for (const auto& order : refused) {
    EXPECT_EQ(FaultOf([&] { session.OrderPhotos(order); }), TStudioFault::sfBadRequest);
    EXPECT_EQ(NamesOf(session.Photos()), (std::vector<std::string>{"c.jpg", "a.jpg", "b.jpg"}));
  }
  session.RemovePhoto(ids[0]);
  EXPECT_EQ(NamesOf(session.Photos()), (std::vector<std::string>{"c.jpg", "b.jpg"}));
  EXPECT_EQ(FaultOf([&] { session.RemovePhoto(ids[0]); }), TStudioFault::sfUnknown);
}

TEST_F(StudioTest, UploadsKeepTheirNamesAndAnUnreadableOneIsMarked) {
  TStudioSession& session = Session(false);
  const std::vector<uint8_t> garbage(5000, 0x5A);
  const TStudioPhoto good = session.AddPhoto("C:\\Users\\me\\good.jpg", PhotoJpeg(40, 20));
  const TStudioPhoto bad = session.AddPhoto("holiday/bad.jpg", garbage);
  // The same name twice is kept apart in the work folder.
  const TStudioPhoto again = session.AddPhoto("good.jpg", PhotoJpeg(20, 40));
  EXPECT_EQ(good.Name, "good.jpg");
  EXPECT_TRUE(good.Ok);
  EXPECT_EQ(good.Width, 40);
  EXPECT_FALSE(bad.Ok);
  EXPECT_EQ(bad.Error, "not a picture this studio can read");
  EXPECT_NE(good.Path, again.Path);
  EXPECT_EQ(FileBytes(good.Path), PhotoJpeg(40, 20));
  EXPECT_TRUE(good.Path.starts_with(session.WorkFolder()));
  EXPECT_EQ(FaultOf([&] { session.Thumbnail(bad.Id, 128); }), TStudioFault::sfUnreadable);
  for (const char* name : {"", "..", "a/", "x\ny.jpg"}) {
    EXPECT_EQ(FaultOf([&] { session.AddPhoto(name, PhotoJpeg(8, 8)); }), TStudioFault::sfBadRequest)
        << name;
  }
  // The upload's copy goes when the photo is removed.
  session.RemovePhoto(good.Id);
  EXPECT_FALSE(fs::exists(good.Path));
}

TEST_F(StudioTest, AChoiceItCannotTakeIsRefusedByNameAndChangesNothing) {
  TStudioSession& session = Session(false);
  session.SetChoices(json{{"title", "Our garden"}, {"intervalMs", 3000}, {"styles", {5, 9}}});
  const json before = ChoicesToJson(session.Choices());
  EXPECT_EQ(before["title"], "Our garden");
  EXPECT_EQ(before["styles"], json({5, 9}));
  struct TCase {
    json Body;
    std::string Field;
  };
  const TCase cases[] = {
      {json{{"intervalMs", -1}}, "intervalMs"},
      {json{{"intervalMs", "5000"}}, "intervalMs"},
      {json{{"styles", {5, 128}}}, "styles"},
      {json{{"styles", json::array()}}, "styles"},
      {json{{"styles", "sometimes"}}, "styles"},
      {json{{"caption", {{"size", 0}}}}, "caption.size"},
      {json{{"caption", {{"color", "red"}}}}, "caption.color"},
      {json{{"caption", {{"font", ""}}}}, "caption.font"},
      {json{{"caption", {{"template", "{nosuchfield}"}}}}, "caption.template"},
      {json{{"fill", "white"}}, "fill"},
      {json{{"stretch", 1}}, "stretch"},
      {json{{"title", "\xe6\x97\xa5\xe6\x9c\xac"}}, "title"},  // not storable in the package
      {json{{"titel", "typo"}}, "titel"},
      // A good field before a bad one is not taken either.
      {json{{"author", "Ann"}, {"web", 5}}, "web"},
  };
  for (const TCase& c : cases) {
    try {
      session.SetChoices(c.Body);
      ADD_FAILURE() << c.Body.dump() << " was taken";
    } catch (const EStudioError& e) {
      EXPECT_EQ(e.Fault(), TStudioFault::sfBadRequest);
      EXPECT_NE(e.Message().find(c.Field), std::string::npos) << e.Message();
    }
    EXPECT_EQ(ChoicesToJson(session.Choices()), before) << c.Body.dump();
  }
}

TEST_F(StudioTest, ABuildStoresTheChoicesAndLeavesOutTheUnreadablePhoto) {
  TStudioSession& session = Session();
  session.AddPhoto("broken.jpg", std::vector<uint8_t>(300, 1));
  session.AddSound("theme.wav", std::vector<uint8_t>(1000, 0));
  session.SetChoices(
      json{{"title", "Garden"},
           {"author", "Ann"},
           {"caption",
            {{"text", "Hello"}, {"font", "DejaVu Serif"}, {"size", 30}, {"color", "#ff8000"}}},
           {"intervalMs", 2500},
           {"styles", {5, 9}},
           {"stretch", true},
           {"clearOld", true},
           {"randomOrder", true},
           {"fill", "blur"},
           {"mute", true}});
  const std::string job = session.StartBuild({"linux"}, "Garden saver");
  session.WaitForBuild(job);
  const TBuildStatus status = session.Build(job);
  ASSERT_EQ(status.State, TBuildState::bsDone) << status.Error;
  EXPECT_EQ(status.Progress, 1.0);
  ASSERT_EQ(status.Files.size(), 1u);
  EXPECT_EQ(status.Files[0].Name, "Garden saver");
  EXPECT_EQ(status.Files[0].Bytes, static_cast<int64_t>(fs::file_size(status.Files[0].Path)));

  const json settings = Inspect(status.Files[0].Path).at("settings");
  EXPECT_EQ(settings["Title"], "Garden");
  EXPECT_EQ(settings["Author"], "Ann");
  EXPECT_EQ(settings["Text"], "Hello");
  EXPECT_EQ(settings["TextFont"]["Name"], "DejaVu Serif");
  EXPECT_EQ(settings["TextFont"]["Height"], -40);      // 30 points at 96 pixels an inch
  EXPECT_EQ(settings["TextFont"]["Color"], 0x0080FF);  // stored as 00BBGGRR
  EXPECT_EQ(settings["Interval"], 2500);
  EXPECT_EQ(settings["EffectCommaList"], json({"5", "9"}));
  EXPECT_EQ(settings["lRandomStyle"], false);
  EXPECT_EQ(settings["lStretch"], true);
  EXPECT_EQ(settings["lClearOldImage"], true);
  EXPECT_EQ(settings["lRandomPic"], true);
  EXPECT_EQ(settings["PicFill"], 1);
  EXPECT_EQ(settings["lMute"], true);
  EXPECT_EQ(settings["PicFileNamesCommaList"], json({"a.jpg", "b.jpg", "c.jpg"}));
  EXPECT_EQ(settings["SndFileNamesCommaList"], json({"theme.wav"}));
}

TEST_F(StudioTest, BuildsThatCannotStartSayWhy) {
  TStudioSession& session = Session();
  struct TCase {
    std::vector<std::string> Targets;
    std::string Name;
  };
  const TCase cases[] = {
      {{"linux"}, ""},  {{"linux"}, "a/b"}, {{}, "x"},
      {{"macos"}, "x"}, {{"windows"}, "x"},  // no Windows engine in this setup
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FaultOf([&] { session.StartBuild(c.Targets, c.Name); }), TStudioFault::sfBadRequest)
        << c.Name;
  }
  for (const TStudioPhoto& photo : session.Photos()) session.RemovePhoto(photo.Id);
  EXPECT_EQ(FaultOf([&] { session.StartBuild({"linux"}, "x"); }), TStudioFault::sfBadRequest);
}

TEST_F(StudioTest, AProjectOpensAgainWithItsPhotosSoundsAndChoices) {
  json project;
  {
    TStudioSession& first = Session();
    first.AddPhoto("upload.jpg", PhotoJpeg(30, 20));
    first.AddSound("tune.wav", std::vector<uint8_t>{1, 2, 3, 4, 5});
    first.SetChoices(json{{"title", "Saved"}, {"styles", {7}}});
    const std::vector<std::string> ids = IdsOf(first.Photos());
    first.OrderPhotos({ids[3], ids[0], ids[1], ids[2]});
    project = json::parse(first.Project().dump());
  }
  TStudioSession& second = Session(false);
  second.OpenProject(project);
  EXPECT_EQ(NamesOf(second.Photos()),
            (std::vector<std::string>{"upload.jpg", "a.jpg", "b.jpg", "c.jpg"}));
  for (const TStudioPhoto& photo : second.Photos()) EXPECT_TRUE(photo.Ok) << photo.Name;
  EXPECT_EQ(FileBytes(second.Photos()[0].Path), PhotoJpeg(30, 20));
  ASSERT_EQ(second.Sounds().size(), 1u);
  EXPECT_EQ(FileBytes(second.Sounds()[0].Path), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(ChoicesToJson(second.Choices())["title"], "Saved");

  // A project that names a file outside the folders given gets it marked, not read.
  json foreign = project;
  foreign["photos"] =
      json::array({json{{"name", "d.jpg"}, {"path", (FDir / "elsewhere" / "d.jpg").string()}}});
  second.OpenProject(foreign);
  ASSERT_EQ(second.Photos().size(), 1u);
  EXPECT_FALSE(second.Photos()[0].Ok);

  // A malformed project changes nothing.
  const json bad[] = {
      json::array(), json{{"format", "other"}},
      json{{"format", "tovrin-studio project"}, {"photos", "x"}},
      json{{"format", "tovrin-studio project"}, {"photos", {{{"name", "a.jpg"}, {"data", "!!"}}}}},
      json{{"format", "tovrin-studio project"}, {"choices", {{"fill", 3}}}}};
  for (const json& b : bad) {
    EXPECT_EQ(FaultOf([&] { second.OpenProject(b); }), TStudioFault::sfBadRequest) << b.dump();
    EXPECT_EQ(second.Photos().size(), 1u);
  }
}

TEST_F(StudioTest, AThumbnailIsUprightAndItsLongestSideTheSizeAsked) {
  TStudioSession& session = Session(false);
  const TBitmap upright = UprightPicture(256, 128);
  for (const int orientation : {1, 3, 6, 8}) {
    const TStudioPhoto photo = session.AddPhoto("o.jpg", PhotoJpeg(256, 128, orientation));
    EXPECT_EQ(photo.Width, 256) << orientation;
    const std::vector<uint8_t> jpeg = session.Thumbnail(photo.Id, 64);
    const TBitmap thumb = DecodeJPEG(jpeg.data(), jpeg.size());
    ASSERT_EQ(thumb.Width(), 64) << orientation;
    ASSERT_EQ(thumb.Height(), 32) << orientation;
    const TDifference d = Compare(thumb, BoxDownscale(upright, 64, 32));
    EXPECT_LT(d.Mean, 8) << "orientation " << orientation;
  }
  const std::string id = session.Photos()[0].Id;
  for (const int size : {63, 513}) {
    EXPECT_EQ(FaultOf([&] { session.Thumbnail(id, size); }), TStudioFault::sfBadRequest);
  }
  EXPECT_EQ(FaultOf([&] { session.Thumbnail("p999", 128); }), TStudioFault::sfUnknown);
}

TEST_F(StudioTest, AStripHoldsTheFramesSideBySideFromTheFirstTwoPhotos) {
  TStudioSession& session = Session();
  const std::vector<uint8_t> jpeg = session.StyleStrip(5, 80, 45, 6);
  const TBitmap strip = DecodeJPEG(jpeg.data(), jpeg.size());
  EXPECT_EQ(strip.Width(), 480);
  EXPECT_EQ(strip.Height(), 45);
  // The first frame is the first photo, the last one the second, as composed here.
  const std::vector<TStudioPhoto> photos = session.Photos();
  const TBitmap first = FittedOnBlack(DecodeUpright(FileBytes(photos[0].Path), 80, 45), 80, 45);
  const TBitmap second = FittedOnBlack(DecodeUpright(FileBytes(photos[1].Path), 80, 45), 80, 45);
  const TBitmap expected = ComposeStyleStrip(first, second, 5, 6);
  EXPECT_LT(Compare(strip, expected).Mean, 3);
  EXPECT_GT(Compare(first, second).Mean, 10);  // so the comparison above can tell them apart
  const std::pair<int, int> sizes[] = {{15, 45}, {321, 45}, {80, 181}};
  for (const auto& [w, h] : sizes) {
    EXPECT_EQ(FaultOf([&] { session.StyleStrip(5, w, h, 6); }), TStudioFault::sfBadRequest);
  }
  EXPECT_EQ(FaultOf([&] { session.StyleStrip(5, 80, 45, 25); }), TStudioFault::sfBadRequest);
  EXPECT_EQ(FaultOf([&] { session.StyleStrip(128, 80, 45, 6); }), TStudioFault::sfUnknown);
}

}  // namespace
}  // namespace tovrin::test

namespace tovrin::test {
namespace {

TEST_F(StudioTest, CaptionsOfAnUploadNameNoFolderOfTheStudios) {
  TStudioSession& session = Session();
  session.AddPhoto("Harbour.jpg", PhotoJpeg(40, 30));
  session.SetChoices(json{{"caption", {{"template", "{name} {folder}"}}}, {"fit", false}});
  const json expected = {"a photos", "b photos", "c inner", "Harbour"};
  const std::string job = session.StartBuild({"linux"}, "Captions");
  session.WaitForBuild(job);
  const TBuildStatus status = session.Build(job);
  ASSERT_EQ(status.State, TBuildState::bsDone) << status.Error;
  EXPECT_EQ(Inspect(status.Files[0].Path).at("settings")["DescriptCommaList"], expected);
  EXPECT_EQ(Inspect(session.PreviewSaver()).at("settings")["DescriptCommaList"], expected);
}

TEST_F(StudioTest, ThePreviewSaverIsRemadeOnlyAfterAChangeAndKeepsEachPhotosCaption) {
  // Larger than the box "fit" uses, so the preview shows a converted copy without metadata.
  WriteFile(FPhotos / "a.jpg",
            WithSegment(PhotoJpeg(2400, 1200), ExifSegment(CaptionTiff(false, "Harbour", ""))));
  TStudioSession& session = Session();
  session.SetChoices(json{{"caption", {{"template", "{name} {description}"}}}, {"styles", {118}}});
  const std::string first = session.PreviewSaver();
  EXPECT_EQ(session.PreviewSaver(), first);
  json settings = Inspect(first).at("settings");
  // Fitted copies hold no metadata; the captions still come from each photo.
  EXPECT_EQ(settings["DescriptCommaList"], json({"a Harbour", "b", "c"}));
  EXPECT_EQ(settings["lPicCaptions"], true);
  EXPECT_EQ(settings["EffectCommaList"], json({"118"}));

  session.SetChoices(json{{"intervalMs", 1000}, {"fit", false}});
  const std::string second = session.PreviewSaver();
  EXPECT_NE(second, first);
  EXPECT_FALSE(fs::exists(first)) << "the old preview saver is removed";
  settings = Inspect(second).at("settings");
  EXPECT_EQ(settings["Interval"], 1000);
  EXPECT_EQ(settings["DescriptCommaList"], json({"a Harbour", "b", "c"}));

  const std::vector<uint8_t> jpeg = PreviewFrame(second, {160, 90}, 500);
  const TBitmap frame = DecodeJPEG(jpeg.data(), jpeg.size());
  EXPECT_EQ(frame.Width(), 160);
  EXPECT_EQ(frame.Height(), 90);

  for (const TStudioPhoto& photo : session.Photos()) session.RemovePhoto(photo.Id);
  EXPECT_EQ(FaultOf([&] { session.PreviewSaver(); }), TStudioFault::sfBadRequest);
}

}  // namespace
}  // namespace tovrin::test
