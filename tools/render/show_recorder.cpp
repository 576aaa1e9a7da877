#include "tools/render/show_recorder.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/errors.h"
#include "core/paths.h"
#include "package/image.h"
#include "package/package_locator.h"
#include "package/persistent.h"
#include "platform/headless/headless_platform.h"
#include "show/frm_scrn.h"
#include "show/media_folder.h"

namespace tovrin {

namespace {

// "Sound.Play(/tmp/x/theme.mp3)" -> "theme.mp3".
std::string CalledWithFile(const std::string& call) {
  const size_t open = call.find('(');
  const size_t close = call.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return call;
  return ExtractFileName(call.substr(open + 1, close - open - 1));
}

}  // namespace

TShowSummary RecordShow(const TShowRecording& recording, TTextRenderer& text,
                        const TShowEvents& events) {
  if (recording.Slides <= 0 && recording.SecondsMs == 0) {
    throw Exception("a show recording needs a number of slides or of seconds");
  }
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  OpenSelfStream(recording.Saver);  // a saver that cannot be opened fails here, not silently

  // A private temporary directory and settings directory: the recording neither reads the
  // user's mute choice nor leaves anything behind.
  TMediaFolder scratch;
  scratch.Create(GetTempDir());
  std::filesystem::create_directories(scratch.Path() + "tmp");
  THeadlessScript script;
  script.ScreenWidth = recording.Width;
  script.ScreenHeight = recording.Height;
  script.Monitors = recording.Monitors;
  script.ExeName = recording.Saver;
  script.TempDir = scratch.Path() + "tmp" + PathDelim;
  script.SettingsDir = scratch.Path();
  script.AutoFinishSounds = true;
  script.MessageBoxAnswer = TModalResult::mrNo;
  THeadlessPlatform platform(script, text);
  THeadlessApplication& app = platform.App();

  TShowSummary summary;
  const auto log = [&](const std::string& what) {
    if (events.OnLog) events.OnLog("t=" + std::to_string(app.TickCount()) + "ms " + what);
  };
  platform.OnRecord = [&](const std::string& call) {
    if (call.rfind("Sound.Play(", 0) == 0) log("sound " + CalledWithFile(call));
    if (call.rfind("Movie.SetMovie(", 0) == 0 || call.rfind("Video.SetMovie(", 0) == 0) {
      log("movie " + CalledWithFile(call));
    }
    if (call.rfind("MessageBox(", 0) == 0) log("message " + call.substr(11, call.size() - 12));
  };

  TfrmScrn show(platform, TPasswordCheck::pcAskVerifier);
  bool finishing = false;
  show.Scheduler().OnPictureStart = [&](int32_t index, TShowStyle style) {
    log("picture " + std::to_string(index + 1) + " style " + std::to_string(style));
  };
  // What the screen shows: the show window, or on a desk of several monitors the whole desk.
  TBitmap desk;
  const auto screen = [&]() -> const TBitmap& {
    if (recording.Monitors.size() <= 1) return platform.Form()->Screen();
    desk = platform.DeskImage();
    return desk;
  };
  show.Scheduler().OnPictureShown = [&](int32_t index) {
    ++summary.Transitions;
    if (events.OnTransitionDone && platform.Form()) events.OnTransitionDone(index, screen());
    if (recording.Slides > 0 && summary.Transitions >= recording.Slides) finishing = true;
  };

  // Frames are taken by messages scheduled at their moments of show time, so that they are
  // taken in the middle of transitions too (a transition serves the queue between its frames).
  const int32_t fps = std::max(1, recording.Fps);
  const auto frameTick = [fps](int64_t n) { return static_cast<uint32_t>(n * 1000 / fps); };
  std::function<void(int64_t)> capture = [&](int64_t n) {
    const uint32_t tick = frameTick(n);
    // A show that cannot reach the wanted number of transitions (no pictures, Interval 0 after
    // the first one) still ends: each transition gets its interval and ten seconds.
    uint32_t limit = recording.SecondsMs;
    if (limit == 0) {
      const int64_t interval = std::max(0, show.Settings().Interval());
      limit = static_cast<uint32_t>(
          std::min<int64_t>(int64_t{recording.Slides} * (interval + 10000) + 10000, INT32_MAX));
    }
    if (tick > limit || (events.ShouldStop && events.ShouldStop())) {
      if (!show.Ended()) show.FormCloseRequest();
      return;
    }
    if (platform.Form() && events.OnFrame) events.OnFrame(n, tick, screen());
    summary.Frames = n + 1;
    // The frame just written shows the last wanted transition finished: the run ends here.
    if (finishing) {
      if (!show.Ended()) show.FormCloseRequest();
      return;
    }
    app.PostAt(frameTick(n + 1), [&capture, n] { capture(n + 1); });
  };
  app.PostAt(0, [&capture] { capture(0); });

  show.Show();
  if (!show.Ended()) app.Run();
  summary.EndTickMs = app.TickCount();
  summary.EndedByShow = show.Halted();
  return summary;
}

}  // namespace tovrin
