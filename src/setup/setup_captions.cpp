#include "setup/setup_captions.h"

#include "core/ini_file.h"
#include "core/paths.h"

namespace tovrin {

namespace {

struct TCaptionRow {
  TSetupItem Item;
  const char* Design;
  const char* LanguageKey;
  const char* LanguageDefault;
};

constexpr std::array<TCaptionRow, SetupItemCount> CaptionRows{{
    {TSetupItem::siTitle, "Title:", "Title", "Title:"},
    {TSetupItem::siAuthor, "Author:", "Author", "Author:"},
    {TSetupItem::siMute, "Mute music", "MuteMusic", "Mute music"},
    {TSetupItem::siEveryMonitor, "Pictures on every monitor", "EveryMonitor",
     "Pictures on every monitor"},
    {TSetupItem::siEmail, "Email:", "Email", "Email:"},
    {TSetupItem::siWeb, "Web address:", "Web", "Web address:"},
    // The language file's default drops the design caption's accelerator.
    {TSetupItem::siOK, "&Ok", "btnOK", "OK"},
}};

}  // namespace

TSetupCaptions DesignCaptions() {
  TSetupCaptions captions;
  for (const TCaptionRow& row : CaptionRows) captions[static_cast<size_t>(row.Item)] = row.Design;
  return captions;
}

bool ApplyLanguageFile(const std::string& fileName, TSetupCaptions& captions) {
  if (!FileExists(fileName)) return false;
  const TIniFile ini(fileName);
  for (const TCaptionRow& row : CaptionRows) {
    captions[static_cast<size_t>(row.Item)] =
        ini.ReadString("Language", row.LanguageKey, row.LanguageDefault);
  }
  return true;
}

}  // namespace tovrin
