#include "show/movie_playback.h"

#include <string>
#include <utility>

#include "core/ini_file.h"
#include "core/paths.h"
#include "package/package_locator.h"
#include "show/extracted_media.h"

namespace tovrin {

TMoviePlayback::TMoviePlayback(TContext context)
    : FScreen(context.Screen),
      FSystem(context.System),
      FWindow(context.Window),
      FCreatePlayer(std::move(context.CreatePlayer)),
      FPShow(context.Pictures),
      FSettings(context.Settings),
      FMediaFolder(context.Media),
      FGuard(std::move(context.Guard)),
      FHalt(std::move(context.Halt)),
      FTimerFlash(context.Application) {
  FTimerFlash.SetEnabled(false);
  FTimerFlash.SetOnTimer([this] { FGuard([this] { TimerFlashTimer(); }); });
}

void TMoviePlayback::CreateFlashPlayer() {
  try {
    FFlash = FCreatePlayer();
    FFlash->SetBounds(0, 0, FScreen.Width(), FScreen.Height());
    FFlash->SetVisible(true);
  } catch (const std::exception&) {
    FFlash.reset();
    std::string text = "Please install the Macromedia Flash Player ActiveX control.";
    std::string address = MoviePlayerDownloadUrl;
    const std::string languageFile = LanguageFilePath(FSystem.ExeName());
    if (FileExists(languageFile)) {
      const TIniFile language(languageFile);
      text = language.ReadString("Language", "DownloadSWF", text);
      address = language.ReadString("Language", "DownloadURL", address);
    }
    if (FSystem.MessageBox(FWindow.Handle(), text, "", TMsgBoxKind::mbInformationYesNo) ==
        TModalResult::mrYes) {
      FSystem.ShellOpen(FWindow.Handle(), address);
    }
    FHalt();
  }
}

void TMoviePlayback::PlayNextMovie() {
  if (!FFlash) return;
  if (!FFlash->Visible()) FFlash->SetVisible(true);
  if (FPShow.Visible()) FPShow.SetVisible(false);
  const int32_t count = FSettings.FlashCount();
  if (count == 0) return;
  FTimerFlash.SetEnabled(false);
  if (!FLookedUp) {
    FExtracted = ExtractedMedia(FMediaFolder, FSettings.FlashFileNameList(), count);
    FLookedUp = true;
  }
  if (FMovieIndex > count - 1) FMovieIndex = 0;
  const int32_t index = NextExtracted(FExtracted, FMovieIndex);
  if (index < 0) return;
  FMovieIndex = index;
  FFlash->Stop();
  FFlash->SetMovie(MediaFilePath(FSettings.FlashFileNameAt(FMovieIndex), FMediaFolder.Path()));
  try {
    FFlash->Play();
  } catch (const std::exception&) {
    // The next tick of the timer applies the frame rule as usual.
  }
  FMovieIndex += 1;
  FTimerFlash.SetEnabled(true);
}

void TMoviePlayback::HideFlash() {
  if (FFlash && FFlash->Visible()) FFlash->SetVisible(false);
}

void TMoviePlayback::TakeOver() {
  if (FFlash) FFlash->SetVisible(true);
  PlayNextMovie();
}

void TMoviePlayback::StopTimerFlash() {
  FTimerFlash.SetEnabled(false);
}

void TMoviePlayback::TimerFlashTimer() {
  if (!FFlash) return;
  const int32_t total = FFlash->TotalFrames();
  const int32_t current = FFlash->CurrentFrame();
  if (current >= total - 1) PlayNextMovie();
}

}  // namespace tovrin
