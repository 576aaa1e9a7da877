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
      FCreateVideoPlayer(std::move(context.CreateVideoPlayer)),
      FMirrors(std::move(context.Mirrors)),
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
  // Which players the movies need: a package without .swf movies never asks for the old control.
  const int32_t count = FSettings.FlashCount();
  bool needOld = false;
  bool needVideo = count == 0;
  for (int32_t i = 0; i < count; ++i) {
    (IsOldControlMovie(FSettings.FlashFileNameAt(i)) ? needOld : needVideo) = true;
  }
  try {
    if (needOld) {
      FFlash = FCreatePlayer();
      FFlash->SetBounds(0, 0, FScreen.Width(), FScreen.Height());
      FFlash->SetVisible(true);
    }
    if (needVideo) {
      FVideo = FCreateVideoPlayer();
      FVideo->SetBounds(0, 0, FScreen.Width(), FScreen.Height());
      FVideo->SetVisible(true);
      if (FMirrors) FVideo->SetMirrors(FMirrors());
    }
  } catch (const std::exception&) {
    FVideo.reset();
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

void TMoviePlayback::ShowOnly(TMoviePlayer& player) {
  // The new one covers the screen before the others leave it, so nothing shows in between.
  if (!player.Visible()) player.SetVisible(true);
  for (TMoviePlayer* other : {FFlash.get(), FVideo.get()}) {
    if (other && other != &player && other->Visible()) {
      other->Stop();
      other->SetVisible(false);
    }
  }
  if (FPShow.Visible()) FPShow.SetVisible(false);
}

void TMoviePlayback::PlayNextMovie() {
  if (!FFlash && !FVideo) return;
  const int32_t count = FSettings.FlashCount();
  if (count == 0) {
    ShowOnly(FFlash ? *FFlash : *FVideo);
    return;
  }
  FTimerFlash.SetEnabled(false);
  if (!FLookedUp) {
    FExtracted = ExtractedMedia(FMediaFolder, FSettings.FlashFileNameList(), count);
    FLookedUp = true;
  }
  if (FMovieIndex > count - 1) FMovieIndex = 0;
  // One round at most: a video that cannot be played gives way to the next one at once.
  for (int32_t tries = 0; tries < count; ++tries) {
    const int32_t index = NextExtracted(FExtracted, FMovieIndex);
    if (index < 0) {
      ShowOnly(FPlayer ? *FPlayer : FFlash ? *FFlash : *FVideo);
      return;
    }
    FMovieIndex = index;
    const std::string name = FSettings.FlashFileNameAt(FMovieIndex);
    TMoviePlayer* const chosen = IsOldControlMovie(name) ? FFlash.get() : FVideo.get();
    if (!chosen) {  // made for the package's movies, so always there; passed over if not
      FMovieIndex = FMovieIndex + 1 > count - 1 ? 0 : FMovieIndex + 1;
      continue;
    }
    TMoviePlayer& player = *chosen;
    ShowOnly(player);
    player.Stop();
    player.SetMovie(MediaFilePath(name, FMediaFolder.Path()));
    bool played = true;
    try {
      player.Play();
    } catch (const std::exception&) {
      played = false;
    }
    FMovieIndex += 1;
    // The old control's failures are left to the timer's frame rule, as ever.
    if (played || &player == FFlash.get()) {
      FPlayer = &player;
      FTimerFlash.SetEnabled(true);
      return;
    }
    if (FMovieIndex > count - 1) FMovieIndex = 0;
  }
  // Not one movie of the round could be played: the show has nothing to show.
  FHalt();
}

void TMoviePlayback::HideFlash() {
  for (TMoviePlayer* player : {FFlash.get(), FVideo.get()}) {
    if (player && player->Visible()) player->SetVisible(false);
  }
}

void TMoviePlayback::TakeOver() {
  PlayNextMovie();
}

void TMoviePlayback::StopTimerFlash() {
  FTimerFlash.SetEnabled(false);
}

void TMoviePlayback::LetGoOfMonitors() {
  if (FVideo) FVideo->SetMirrors({});
}

void TMoviePlayback::FollowScreen() {
  // The show window has been placed on the primary monitor as it now is.
  const int32_t width = FWindow.ClientWidth();
  const int32_t height = FWindow.ClientHeight();
  if (FFlash) FFlash->SetBounds(0, 0, width, height);
  if (FVideo) {
    FVideo->SetBounds(0, 0, width, height);
    if (FMirrors) FVideo->SetMirrors(FMirrors());
  }
}

void TMoviePlayback::TimerFlashTimer() {
  if (!FPlayer) return;
  const int32_t total = FPlayer->TotalFrames();
  const int32_t current = FPlayer->CurrentFrame();
  if (current >= total - 1) PlayNextMovie();
}

}  // namespace tovrin
