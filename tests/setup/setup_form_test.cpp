// The setup dialog on the headless back end: which captions it shows, when it writes the mute and
// every-monitor choices, and what its links and cursor do.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "core/ini_file.h"
#include "core/paths.h"
#include "package/object_writer.h"
#include "platform/headless/headless_platform.h"
#include "setup/setup_form.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

// The dialog draws no text itself; the platform only needs a renderer to hold.
class TNoTextRenderer final : public TTextRenderer {
 public:
  TTextSize TextExtent(const TTextFont&, std::string_view) override { return {}; }
  void TextOut(TBitmap&, int32_t, int32_t, const TTextFont&, std::string_view) override {}
};

enum class TProgram { pgPackage, pgNoPackage, pgBrokenSettings, pgTiny, pgMissing };

std::string ReadText(const fs::path& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string Field(int64_t v) {
  std::string s = std::to_string(v);
  s.resize(20, ' ');
  return s;
}

class SetupDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStreamClass(TSSFileLocations::StaticClassInfo());
    FDir = fs::temp_directory_path() /
           ("tovrin_setup_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir / "config");
    FScript.ExeName = (FDir / "saver.scr").string();
    FScript.SettingsDir = (FDir / "config").string() + "/";
  }
  void TearDown() override { fs::remove_all(FDir); }

  // A program image, a package holding only the settings object, and the trailer.
  void WriteProgram(TProgram kind, const std::string& title = "Harbour", bool mutes = false) {
    TSSFileLocations settings;
    settings.SetTitle(title);
    settings.SetAuthor("Ann Lee");
    settings.SetEmail("ann@example.com");
    settings.SetWeb(" www.example.com/a b ");
    settings.SetlMute(mutes);
    const std::string image(3000, 'M');
    TMemoryStream file(std::vector<uint8_t>(image.begin(), image.end()));
    file.Seek(0, TSeekOrigin::soEnd);
    WriteShowSettings(file, settings);
    if (kind == TProgram::pgBrokenSettings) file.Bytes()[3000] = 'X';  // "XPF0"
    const std::string trailer = Field(file.Size() - 3000) + Field(3000);
    file.WriteBuffer(trailer.data(), trailer.size());
    std::string bytes(file.Bytes().begin(), file.Bytes().end());
    if (kind == TProgram::pgNoPackage) bytes = image;
    if (kind == TProgram::pgTiny) bytes = "1234567890";
    if (kind != TProgram::pgMissing) WriteText(FScript.ExeName, bytes);
  }
  fs::path ControlPath() const { return FDir / "config" / "CONTROL.INI"; }
  // A fresh platform (one that has terminated stays so), and the dialog shown on it.
  std::unique_ptr<TfrmSetup> Open() {
    FPlatform = std::make_unique<THeadlessPlatform>(FScript, FText);
    auto dialog = std::make_unique<TfrmSetup>(*FPlatform);
    dialog->Show();
    return dialog;
  }

  TNoTextRenderer FText;
  THeadlessScript FScript;
  std::unique_ptr<THeadlessPlatform> FPlatform;
  fs::path FDir;
};

TEST_F(SetupDialog, WritesEachChoiceOnlyWhenItsBoxChanged) {
  struct TCase {
    TProgram Program;
    bool PackageMutes;
    std::string Stored;  // CONTROL.INI before ("": none)
    // The clicks in order: 'm' the mute box, 'e' the every-monitor box, 't' the title (no box).
    std::string Clicks;
    bool MuteStarts, EveryStarts;
    // "mute" and "everymonitor" after OK ("-": not in the file); nullptr: the file is as it was.
    const char* Mute;
    const char* Every;
  } const cases[] = {
      {TProgram::pgPackage, false, "", "", false, true, nullptr, nullptr},
      {TProgram::pgPackage, false, "[Setup]\nmute=00\n", "", false, true, nullptr, nullptr},
      // A stored value other than the box's design state counts as a change: written back.
      {TProgram::pgPackage, false, "[Setup]\nmute=7\n", "", true, true, "1", "-"},
      {TProgram::pgPackage, false, "[Setup]\neverymonitor=0\n", "", false, false, "-", "0"},
      {TProgram::pgPackage, false, "[setup]\nEveryMonitor=1\nmute=0\n", "", false, true, nullptr,
       nullptr},
      {TProgram::pgPackage, false, "[Setup]\neverymonitor=no\n", "", false, true, nullptr, nullptr},
      {TProgram::pgPackage, false, "", "m", false, true, "1", "-"},
      {TProgram::pgPackage, false, "", "mm", false, true, "0", "-"},
      {TProgram::pgPackage, false, "", "e", false, true, "-", "0"},
      {TProgram::pgPackage, false, "[Setup]\neverymonitor=0\n", "e", false, false, "-", "1"},
      {TProgram::pgPackage, false, "", "me", false, true, "1", "0"},
      {TProgram::pgPackage, false, "", "emm", false, true, "0", "0"},
      {TProgram::pgPackage, false, "", "t", false, true, nullptr, nullptr},
      {TProgram::pgPackage, true, "", "", false, true, nullptr, nullptr},  // lMute is not the box
      // Without a trailer the stored values are not read, but clicks still count.
      {TProgram::pgNoPackage, false, "[Setup]\nmute=1\n", "mm", false, true, "0", "-"},
      {TProgram::pgNoPackage, false, "[Setup]\neverymonitor=0\n", "", false, true, nullptr,
       nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Stored + ", clicks " + c.Clicks);
    fs::remove(ControlPath());
    if (!c.Stored.empty()) WriteText(ControlPath(), c.Stored);
    WriteProgram(c.Program, "Harbour", c.PackageMutes);
    auto dialog = Open();
    EXPECT_EQ(dialog->Checked(TSetupItem::siMute), c.MuteStarts);
    EXPECT_EQ(dialog->Checked(TSetupItem::siEveryMonitor), c.EveryStarts);
    EXPECT_FALSE(dialog->Checked(TSetupItem::siTitle));
    bool mute = c.MuteStarts, every = c.EveryStarts;
    for (const char click : c.Clicks) {
      const TSetupItem item = click == 'm'   ? TSetupItem::siMute
                              : click == 'e' ? TSetupItem::siEveryMonitor
                                             : TSetupItem::siTitle;
      const int refreshes = FPlatform->SetupView()->RefreshCount();
      dialog->ClickCheckBox(item);
      if (item == TSetupItem::siMute) mute = !mute;
      if (item == TSetupItem::siEveryMonitor) every = !every;
      EXPECT_EQ(dialog->Checked(TSetupItem::siMute), mute) << click;
      EXPECT_EQ(dialog->Checked(TSetupItem::siEveryMonitor), every) << click;
      // The view shows a box's new state; a click on anything else changes nothing to show.
      EXPECT_EQ(FPlatform->SetupView()->RefreshCount(),
                refreshes + (item == TSetupItem::siTitle ? 0 : 1))
          << click;
    }
    dialog->ClickOK();
    if (c.Mute) {
      const TIniFile control(ControlPath().string());
      EXPECT_EQ(control.ReadString("Setup", "mute", "-"), c.Mute);
      EXPECT_EQ(control.ReadString("Setup", "everymonitor", "-"), c.Every);
    } else {
      EXPECT_EQ(ReadText(ControlPath()), c.Stored);
    }
    EXPECT_TRUE(dialog->Closed());
    EXPECT_FALSE(FPlatform->SetupView()->Showing());
    EXPECT_TRUE(FPlatform->App().Terminated());
  }
}

TEST_F(SetupDialog, CloseButtonWritesNothing) {
  WriteProgram(TProgram::pgPackage);
  auto dialog = Open();
  dialog->ClickCheckBox(TSetupItem::siMute);
  dialog->CloseRequest();
  EXPECT_FALSE(fs::exists(ControlPath()));
  EXPECT_TRUE(FPlatform->App().Terminated());
}

TEST_F(SetupDialog, FailedWriteLeavesTheDialogOpen) {
  // Closing as if the choice had been saved would lose it without a word.
  WriteProgram(TProgram::pgPackage);
  WriteText(FDir / "file", "x");
  FScript.SettingsDir = (FDir / "file").string() + PathDelim;
  auto dialog = Open();
  dialog->ClickCheckBox(TSetupItem::siMute);
  dialog->ClickOK();
  const std::string report =
      "MessageBox(Cannot create file " + FScript.SettingsDir + "CONTROL.INI|Error)";
  EXPECT_EQ(FPlatform->Log().back(), report);
  EXPECT_FALSE(dialog->Closed());
  EXPECT_TRUE(FPlatform->SetupView()->Showing());
  EXPECT_FALSE(FPlatform->App().Terminated());
}

TEST_F(SetupDialog, CaptionsComeFromDesignLanguageFileAndPackage) {
  const std::string design =
      "Title:|Author:|Mute music|Pictures on every monitor|Email:|Web address:|&Ok";
  const std::string packaged =
      "Title:Harbour|Author:Ann Lee|Mute music|Pictures on every monitor|ann@example.com|"
      " www.example.com/a b |&Ok";
  const std::string someKeys = "[Language]\nTitle=Titel:\nWeb=Netz:\n";
  const std::string allKeys =
      "[language]\ntitle=Titel:\nAuthor=Autor:\nEmail=Post:\nWeb=Netz:\nMuteMusic=Stumm\n"
      "everymonitor=Auf allen Schirmen\nbtnOK=Gut";
  struct TCase {
    std::string Language;  // "": no language file
    TProgram Program;
    std::string Title, Caption, Items;  // Items: the seven captions joined by '|'
  } const cases[] = {
      {"", TProgram::pgNoPackage, "", "Setup", design},
      {"", TProgram::pgPackage, "Harbour", "Setup [Harbour]", packaged},
      {"", TProgram::pgPackage, "", "Setup []",
       "Title:|Author:Ann Lee|Mute music|Pictures on every monitor|ann@example.com|"
       " www.example.com/a b |&Ok"},
      {someKeys, TProgram::pgNoPackage, "", "Setup",
       "Titel:|Author:|Mute music|Pictures on every monitor|Email:|Netz:|OK"},
      {allKeys, TProgram::pgPackage, "Harbour", "Setup [Harbour]",
       "Titel:Harbour|Autor:Ann Lee|Stumm|Auf allen Schirmen|ann@example.com|"
       " www.example.com/a b |Gut"},
      {"", TProgram::pgBrokenSettings, "Harbour", "Setup", design},
      {"", TProgram::pgTiny, "", "Setup", design},
      {"", TProgram::pgMissing, "", "Setup", design},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("program " + std::to_string(static_cast<int>(c.Program)) + ", " + c.Language);
    fs::remove(FDir / "saver.scr");
    fs::remove(FDir / "tovrin.ini");
    if (!c.Language.empty()) WriteText(FDir / "tovrin.ini", c.Language);
    WriteProgram(c.Program, c.Title);
    auto dialog = Open();
    EXPECT_EQ(dialog->Caption(), c.Caption);
    std::string items;
    for (int i = 0; i < static_cast<int>(SetupItemCount); ++i) {
      items += (i ? "|" : "") + dialog->ItemCaption(static_cast<TSetupItem>(i));
    }
    EXPECT_EQ(items, c.Items);
    EXPECT_TRUE(FPlatform->SetupView()->Showing());
  }
}

TEST_F(SetupDialog, LinksOpenTheStoredTextAndShowTheHandCursor) {
  WriteProgram(TProgram::pgPackage);
  auto dialog = Open();
  for (TSetupItem item : {TSetupItem::siEmail, TSetupItem::siWeb, TSetupItem::siTitle}) {
    dialog->ClickLink(item);
  }
  std::vector<std::string> opened;
  for (const std::string& call : FPlatform->Log()) {
    if (call.starts_with("ShellOpen(")) opened.push_back(call);
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"ShellOpen(ann@example.com)",
                                              "ShellOpen( www.example.com/a b )"}));
  for (TSetupItem item : {TSetupItem::siEmail, TSetupItem::siWeb}) {
    dialog->LinkMouseEnter(item);
    EXPECT_EQ(FPlatform->Screen().Cursor(), crHandPoint);
    dialog->LinkMouseLeave(item);
    EXPECT_EQ(FPlatform->Screen().Cursor(), crDefault);
  }
}

}  // namespace
}  // namespace tovrin
