#include "platform/headless/headless_setup_dialog.h"

#include "platform/headless/headless_platform.h"

namespace tovrin {

THeadlessSetupView::~THeadlessSetupView() {
  FPlatform.Forget(*this);
}

void THeadlessSetupView::Show() {
  FPlatform.Record("Setup.Show");
  FShowing = true;
}

void THeadlessSetupView::Refresh() {
  ++FRefreshCount;
}

void THeadlessSetupView::Close() {
  FPlatform.Record("Setup.Close");
  FShowing = false;
}

}  // namespace tovrin
