#include "setup/setup_form.h"

#include <algorithm>

#include "core/conversions.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "package/package_locator.h"

namespace tovrin {

namespace {

constexpr const char* ControlFileName = "CONTROL.INI";

bool IsLink(TSetupItem item) {
  return item == TSetupItem::siEmail || item == TSetupItem::siWeb;
}

// The check boxes: the boolean of CONTROL.INI's section "Setup" that keeps each, and its state
// when nothing is stored (the state the dialog is designed with).
struct TCheckBoxRow {
  TSetupItem Item;
  const char* Key;
  bool Design;
};

constexpr std::array<TCheckBoxRow, 2> CheckBoxRows{{
    {TSetupItem::siMute, "mute", false},
    {TSetupItem::siEveryMonitor, "everymonitor", true},
}};
// One row for each item a view shows as a check box.
static_assert(std::ranges::all_of(CheckBoxRows,
                                  [](const TCheckBoxRow& row) { return IsCheckBox(row.Item); }));
static_assert([] {
  size_t boxes = 0;
  for (size_t i = 0; i < SetupItemCount; ++i) boxes += IsCheckBox(static_cast<TSetupItem>(i));
  return boxes == CheckBoxRows.size();
}());

}  // namespace

TfrmSetup::TfrmSetup(TPlatform& platform) : FPlatform(platform) {
  for (const TCheckBoxRow& row : CheckBoxRows) Box(row.Item).Checked = row.Design;
  FormCreate();
}

TfrmSetup::~TfrmSetup() = default;

void TfrmSetup::FormCreate() {
  for (TCheckBoxState& box : FBoxes) box.Changed = false;
  ApplyLanguageFile(LanguageFilePath(FPlatform.System().ExeName()), FItems);
}

void TfrmSetup::Show() {
  FormShow();
  if (!FView) FView = FPlatform.CreateSetupDialog(*this);
  FView->Show();
}

std::unique_ptr<TSSFileLocations> TfrmSetup::ReadPackageSettings() {
  // Only the trailer's second field, SettingsOffset, is needed: the last 20 bytes of the file.
  // Any failure to read the package (no such file, a broken settings object) leaves the dialog
  // usable with the captions it has, so the choices can still be set.
  try {
    std::unique_ptr<TFileStream> stream = OpenSelfStream(FPlatform.System().ExeName());
    if (stream->Size() < TrailerFieldSize) return nullptr;
    stream->Seek(-TrailerFieldSize, TSeekOrigin::soEnd);
    char field[TrailerFieldSize];
    if (stream->Read(field, sizeof field) != sizeof field) return nullptr;
    const int32_t settingsOffset = StrToNumber(std::string_view(field, sizeof field));
    return ReadShowSettings(*stream, settingsOffset, nullptr);
  } catch (const Exception&) {
    return nullptr;
  }
}

void TfrmSetup::FormShow() {
  const std::unique_ptr<TSSFileLocations> settings = ReadPackageSettings();
  if (!settings) return;

  // A stored value other than the design state changes the box and so counts as a change: OK
  // writes it back.
  const TIniFile control(ControlFilePath());
  for (const TCheckBoxRow& row : CheckBoxRows) {
    SetChecked(row.Item, control.ReadBool("Setup", row.Key, row.Design));
  }

  FCaption = "Setup [" + settings->Title() + "]";
  Item(TSetupItem::siTitle) += settings->Title();
  Item(TSetupItem::siAuthor) += settings->Author();
  Item(TSetupItem::siEmail) = settings->Email();
  Item(TSetupItem::siWeb) = settings->Web();
}

bool TfrmSetup::Checked(TSetupItem item) const {
  return IsCheckBox(item) && FBoxes[static_cast<size_t>(item)].Checked;
}

void TfrmSetup::SetChecked(TSetupItem item, bool checked) {
  if (checked == Box(item).Checked) return;
  Box(item).Checked = checked;
  CheckBoxClick(item);
}

void TfrmSetup::ClickCheckBox(TSetupItem item) {
  if (!IsCheckBox(item)) return;
  SetChecked(item, !Box(item).Checked);
  if (FView) FView->Refresh();
}

template <typename F>
void TfrmSetup::Handle(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    FPlatform.System().MessageBox(ViewHandle(), e.what(), "Error", TMsgBoxKind::mbErrorOk);
  }
}

void TfrmSetup::ClickOK() {
  Handle([this] { OKButtonClick(); });
}

void TfrmSetup::OKButtonClick() {
  const auto changed = [this](const TCheckBoxRow& row) { return Box(row.Item).Changed; };
  if (std::ranges::any_of(CheckBoxRows, changed)) {
    TIniFile control(ControlFilePath());
    for (const TCheckBoxRow& row : CheckBoxRows) {
      if (changed(row)) control.WriteBool("Setup", row.Key, Box(row.Item).Checked);
    }
  }
  CloseDialog();
}

void TfrmSetup::CloseDialog() {
  if (FClosed) return;
  FClosed = true;
  // The view is kept until the dialog is destroyed: this may run inside one of its own
  // callbacks.
  if (FView) FView->Close();
  FPlatform.Application().Terminate();
}

void TfrmSetup::ClickLink(TSetupItem item) {
  if (item == TSetupItem::siEmail) lblEmailClick();
  if (item == TSetupItem::siWeb) lblWebClick();
}

void TfrmSetup::OpenLink(TSetupItem item) {
  // The caption is exactly the package's text: a mail address without a scheme goes to the shell
  // as it is. The shell's result is not checked.
  FPlatform.System().ShellOpen(ViewHandle(), Item(item));
}

void TfrmSetup::LinkMouseEnter(TSetupItem item) {
  if (IsLink(item)) lblEmailMouseEnter();
}

void TfrmSetup::LinkMouseLeave(TSetupItem item) {
  if (IsLink(item)) lblEmailMouseLeave();
}

void TfrmSetup::lblEmailMouseEnter() {
  FPlatform.Screen().SetCursor(crHandPoint);
}

void TfrmSetup::lblEmailMouseLeave() {
  FPlatform.Screen().SetCursor(crDefault);
}

std::string TfrmSetup::ItemCaption(TSetupItem item) const {
  const auto index = static_cast<size_t>(item);
  return index < FItems.size() ? FItems[index] : std::string();
}

const TSetupItemLayout* TfrmSetup::Layout(int32_t& count) const {
  count = static_cast<int32_t>(SetupLayout.size());
  return SetupLayout.data();
}

std::string TfrmSetup::ControlFilePath() const {
  return JoinPath(FPlatform.System().SettingsDir(), ControlFileName);
}

}  // namespace tovrin
