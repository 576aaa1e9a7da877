// THeadlessSetupView: the headless back end's setup dialog. It draws nothing; a test reads the
// model it renders, sees whether it is showing and how often it was told to refresh, and acts
// on the model as a user would. Show and Close are recorded in the platform's log.
#pragma once

#include "platform/setup_dialog.h"

namespace tovrin {

class THeadlessPlatform;

class THeadlessSetupView final : public TSetupDialogView {
 public:
  THeadlessSetupView(THeadlessPlatform& platform, TSetupDialogModel& model)
      : FPlatform(platform), FModel(model) {}
  // The view's address: distinct among the views alive, never 0.
  TWindowHandle Handle() const override { return reinterpret_cast<TWindowHandle>(this); }
  ~THeadlessSetupView() override;
  void Show() override;
  void Refresh() override;
  void Close() override;
  TSetupDialogModel& Model() { return FModel; }
  bool Showing() const { return FShowing; }
  int RefreshCount() const { return FRefreshCount; }

 private:
  THeadlessPlatform& FPlatform;
  TSetupDialogModel& FModel;
  bool FShowing = false;
  int FRefreshCount = 0;
};

}  // namespace tovrin
