// The sound playlist of TfrmScrn: the packaged sounds one after the other for as long as the
// show runs, each started by the end of the one before.
#include "core/random.h"
#include "package/package_locator.h"
#include "show/frm_scrn.h"

namespace tovrin {

void TfrmScrn::PlayNextSound() {
  const int32_t count = FSettings->SndCount();
  if (count == 0 || FSettings->lMute()) return;
  if (FSndIndex > count - 1) FSndIndex = 0;
  if (FSettings->SoundRandom() == 2) FSndIndex = Random(count);
  FmpSaver->SetFileName(
      MediaFilePath(FSettings->SndFileNameAt(FSndIndex), FMediaFolder.Path()));
  try {
    FmpSaver->Open();
    FmpSaver->Play();
  } catch (const std::exception&) {
    // A sound that cannot be played is skipped silently; no notification follows, so the
    // playlist rests from here on.
  }
  FmpSaver->SetNotify(true);
  if (FSettings->SoundRandom() != 3) FSndIndex += 1;
}

void TfrmScrn::mpSaverNotify() {
  FmpSaver->SetNotify(false);
  FmpSaver->Stop();
  PlayNextSound();
  FmpSaver->SetNotify(true);
}

}  // namespace tovrin
