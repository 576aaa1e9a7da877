#include "app/entry.h"

#include "app/preview.h"
#include "core/conversions.h"
#include "core/memory_policy.h"
#include "core/paths.h"
#include "core/random.h"
#include "package/image.h"
#include "package/persistent.h"
#include "package/ss_file_locations.h"
#include "setup/setup_form.h"
#include "show/frm_scrn.h"

namespace tovrin {

namespace {

void ChangePassword(TPlatform& platform, const std::string& hostWindowArg) {
  // The handle is converted only once the password change is at hand, as the system's own
  // screen savers do: without the library a bad handle goes unnoticed.
  if (std::unique_ptr<TPasswordChanger> changer = platform.System().LoadPasswordChanger()) {
    changer->Change(static_cast<TWindowHandle>(static_cast<uint32_t>(StrToInt(hostWindowArg))));
  }
}

}  // namespace

void InitializeEngine() {
  ReturnLargeBlocksToSystem();
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  RegisterStreamClass(TImage::StaticClassInfo());
  RandomizeFromTimeOfDay();
}

TEntryRun RunEntry(TPlatform& platform, const std::string& arg1, const std::string& arg2) {
  TEntryRun run;
  try {
    const std::string modeArg = UpperCase(arg1);
    const std::string hostWindowArg = UpperCase(arg2);
    run.Mode = ClassifyMode(modeArg);

    if (run.Mode == smChangePassword) {
      ChangePassword(platform, hostWindowArg);
      return run;
    }

    // One instance per program file name, in any mode but the password change.
    const std::string lockName = ExtractFileName(platform.System().ExeName()) + "Semaphore";
    TInstanceLockResult instance = platform.System().CreateInstanceLock(lockName);
    if (instance.AlreadyExists) {
      run.SecondInstance = true;
      return run;
    }

    TApplication& application = platform.Application();
    application.ProcessMessages();

    if (run.Mode == smPreview) {
      RunPreview(platform, hostWindowArg);
      return run;
    }
    if (run.Mode == smSetup) {
      TfrmSetup setup(platform);
      setup.Show();
      application.Run();
      application.ProcessMessages();
    } else {
      TfrmScrn show(platform,
                    run.Mode == smShow ? TPasswordCheck::pcAskVerifier : TPasswordCheck::pcNone);
      show.Show();
      if (!show.Ended()) application.Run();
      application.ProcessMessages();
    }
  } catch (...) {
    // Whatever went wrong, the program ends quietly: a screen saver never greets the user with
    // an error on the way out.
    run.Failed = true;
  }
  return run;
}

}  // namespace tovrin
