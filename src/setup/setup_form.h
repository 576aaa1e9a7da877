// TfrmSetup: the setup mode's dialog as a model that a back end's view renders. It shows the
// package's title, author, e-mail and web lines (the last two as links the shell opens) and keeps
// the per-installation choices, muting the music and showing the pictures on every monitor, in
// CONTROL.INI.
//
// Life: the constructor runs FormCreate (language captions); Show runs FormShow (package texts
// and the stored choices) and shows the view; OK or the close button closes the dialog, which
// hides the view and terminates the application, so the owner's message loop ends.
//
// Errors: the user's actions never raise; a failure inside one (CONTROL.INI cannot be written) is
// reported in an error message box, and the dialog stays as it was.
//
// Files: the language file "tovrin.ini" beside the program (read only); CONTROL.INI in the
// system's settings directory, section "Setup", booleans "mute" (default false) and
// "everymonitor" (default true), each written only by OK, and only after its check box has
// changed.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "setup/setup_captions.h"

namespace tovrin {

class TSSFileLocations;

class TfrmSetup final : public TSetupDialogModel {
 public:
  // Runs FormCreate. The platform must outlive the dialog.
  explicit TfrmSetup(TPlatform& platform);
  ~TfrmSetup() override;
  TfrmSetup(const TfrmSetup&) = delete;
  TfrmSetup& operator=(const TfrmSetup&) = delete;

  // Runs FormShow, then creates the view (the first time) and shows it. A package that cannot be
  // read leaves the captions as they are and the boxes in their design states (mute unchecked,
  // every monitor checked); it does not raise.
  void Show();
  // True once OK or the close button has closed the dialog.
  bool Closed() const { return FClosed; }

  // ---- TSetupDialogModel
  std::string Caption() const override { return FCaption; }
  std::string ItemCaption(TSetupItem item) const override;
  bool Checked(TSetupItem item) const override;
  int32_t ClientWidth() const override { return SetupClientWidth; }
  int32_t ClientHeight() const override { return SetupClientHeight; }
  int32_t InfoAreaHeight() const override { return SetupInfoAreaHeight; }
  TColor BackgroundColor() const override { return SetupBackgroundColor; }
  const TSetupItemLayout* Layout(int32_t& count) const override;

  void ClickCheckBox(TSetupItem item) override;
  // When CONTROL.INI cannot be written the dialog reports it and stays open.
  void ClickOK() override;
  void ClickLink(TSetupItem item) override;
  void LinkMouseEnter(TSetupItem item) override;
  void LinkMouseLeave(TSetupItem item) override;
  void CloseRequest() override { CloseDialog(); }

 private:
  void FormCreate();
  void FormShow();
  // The click handler of the check boxes.
  void CheckBoxClick(TSetupItem item) { Box(item).Changed = true; }
  void OKButtonClick();
  void lblEmailClick() { OpenLink(TSetupItem::siEmail); }
  void lblWebClick() { OpenLink(TSetupItem::siWeb); }
  void lblEmailMouseEnter();
  void lblEmailMouseLeave();

  // The package's settings object, or nullptr when the program file has no trailer or its
  // package cannot be read.
  std::unique_ptr<TSSFileLocations> ReadPackageSettings();
  // Changes a box as the check box control does: a change of state runs CheckBoxClick.
  void SetChecked(TSetupItem item, bool checked);
  void OpenLink(TSetupItem item);
  void CloseDialog();
  // Runs a handler of the user's action; an error escaping it is shown in a message box.
  template <typename F>
  void Handle(F&& handler);
  TWindowHandle ViewHandle() const { return FView ? FView->Handle() : TWindowHandle{0}; }
  std::string ControlFilePath() const;
  std::string& Item(TSetupItem item) { return FItems[static_cast<size_t>(item)]; }

  struct TCheckBoxState {
    bool Checked = false;
    // The box has changed since the dialog was created; only then does OK write its choice.
    bool Changed = false;
  };
  TCheckBoxState& Box(TSetupItem item) { return FBoxes[static_cast<size_t>(item)]; }

  TPlatform& FPlatform;
  std::unique_ptr<TSetupDialogView> FView;
  std::string FCaption = "Setup";
  TSetupCaptions FItems = DesignCaptions();
  // Indexed by TSetupItem; only the check boxes' entries are used.
  std::array<TCheckBoxState, SetupItemCount> FBoxes;
  bool FClosed = false;
};

}  // namespace tovrin
