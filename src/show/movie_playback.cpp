// The movie playback of TfrmScrn: the packaged movies one after another in the movie control,
// the next one loaded within a second of the last frame of the one before.
#include "core/ini_file.h"
#include "core/paths.h"
#include "package/package_locator.h"
#include "show/frm_scrn.h"

namespace tovrin {

void TfrmScrn::CreateFlashPlayer() {
  try {
    FFlash = FPlatform.CreateMoviePlayer(*FWindow);
    FFlash->SetBounds(0, 0, FPlatform.Screen().Width(), FPlatform.Screen().Height());
    FFlash->SetVisible(true);
  } catch (const std::exception&) {
    FFlash.reset();
    std::string text = "Please install the Macromedia Flash Player ActiveX control.";
    std::string address = MoviePlayerDownloadUrl;
    TSystemServices& system = FPlatform.System();
    const std::string languageFile = LanguageFilePath(system.ExeName());
    if (FileExists(languageFile)) {
      const TIniFile language(languageFile);
      text = language.ReadString("Language", "DownloadSWF", text);
      address = language.ReadString("Language", "DownloadURL", address);
    }
    if (system.MessageBox(FWindow->Handle(), text, "", TMsgBoxKind::mbInformationYesNo) ==
        TModalResult::mrYes) {
      system.ShellOpen(FWindow->Handle(), address);
    }
    Halt();
  }
}

void TfrmScrn::PlayNextMovie() {
  if (!FFlash) return;
  if (!FFlash->Visible()) FFlash->SetVisible(true);
  if (FPShow->Visible()) FPShow->SetVisible(false);
  const int32_t count = FSettings->FlashCount();
  if (count == 0) return;
  FTimerFlash.SetEnabled(false);
  if (FMovieIndex > count - 1) FMovieIndex = 0;
  FFlash->Stop();
  FFlash->SetMovie(MediaFilePath(FSettings->FlashFileNameAt(FMovieIndex), FMediaFolder.Path()));
  try {
    FFlash->Play();
  } catch (const std::exception&) {
    // The next tick of the timer applies the frame rule as usual.
  }
  FMovieIndex += 1;
  FTimerFlash.SetEnabled(true);
}

void TfrmScrn::TimerFlashTimer() {
  if (!FFlash) return;
  const int32_t total = FFlash->TotalFrames();
  const int32_t current = FFlash->CurrentFrame();
  if (current >= total - 1) PlayNextMovie();
}

}  // namespace tovrin
