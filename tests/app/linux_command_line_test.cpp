// The Linux and XScreenSaver spellings of the engine's switches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/linux_command_line.h"

namespace tovrin {
namespace {

using TAction = TLinuxCommandLine::TAction;

struct Case {
  std::vector<std::string> Args;
  const char* Env;  // $XSCREENSAVER_WINDOW
  std::string Arg1;
  std::string Arg2;
  uint32_t HostWindow;
  bool HostRoot;
  bool Mute;
};

TEST(LinuxCommandLineTest, SpellingsBecomeTheEnginesSwitches) {
  const Case cases[] = {
      {{"--show"}, nullptr, "/s", "", 0, false, false},
      {{"--setup"}, nullptr, "/c", "", 0, false, false},
      {{"--preview", "1234"}, nullptr, "/p", "1234", 0, false, false},
      {{"--preview", "0x4a0001f"}, nullptr, "/p", "77594655", 0, false, false},
      {{"-window-id", "0x4A0001F"}, nullptr, "/s", "", 0x4A0001F, false, false},
      {{"--window-id", "6291464"}, "0x123", "/s", "", 6291464, false, false},
      {{"-root"}, "0x600008", "/s", "", 0x600008, false, false},
      {{"-root"}, nullptr, "/s", "", 0, true, false},
      {{"-root"}, "garbage", "/s", "", 0, true, false},
      {{"-root", "-mute"}, nullptr, "/s", "", 0, true, true},
      // Two host switches: the last one names the one place to draw.
      {{"-window-id", "5", "-root"}, nullptr, "/s", "", 0, true, false},
      {{"-root", "-window-id", "5"}, nullptr, "/s", "", 5, false, false},
      {{"-window-id", "5", "--root"}, "0x600008", "/s", "", 0x600008, false, false},
      {{"--show", "--mute"}, nullptr, "/s", "", 0, false, true},
      {{"-mute"}, nullptr, "", "", 0, false, true},  // no switch: setup
      {{}, "12345", "/s", "", 12345, false, false},
      {{}, nullptr, "", "", 0, false, false},
      // The Windows switches pass unchanged, also beside -mute.
      {{"/p", "777"}, "12345", "/p", "777", 0, false, false},
      {{"/s", "-mute"}, nullptr, "/s", "", 0, false, true},
      {{"Preview"}, nullptr, "Preview", "", 0, false, false},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& a : c.Args) label += a + " ";
    label += c.Env ? std::string("env=") + c.Env : "no env";
    const TLinuxCommandLine r = TranslateLinuxCommandLine(c.Args, c.Env);
    EXPECT_EQ(r.Action, TAction::laRun) << label << ": " << r.Error;
    EXPECT_EQ(r.Arg1, c.Arg1) << label;
    EXPECT_EQ(r.Arg2, c.Arg2) << label;
    EXPECT_EQ(r.HostWindow, c.HostWindow) << label;
    EXPECT_EQ(r.HostRoot, c.HostRoot) << label;
    EXPECT_EQ(r.Mute, c.Mute) << label;
  }
}

TEST(LinuxCommandLineTest, MistakesAreRefusedAndHelpIsAnswered) {
  const std::vector<std::vector<std::string>> mistakes = {
      {"--preview"},
      {"--preview", "window"},
      {"-window-id"},
      {"-window-id", "0"},
      {"-window-id", "-1"},
      {"--show", "--setup"},
      {"-root", "--preview", "5"},
      {"-window-id", "0x100000000"},
  };
  for (const auto& args : mistakes) {
    const TLinuxCommandLine r = TranslateLinuxCommandLine(args, nullptr);
    EXPECT_EQ(r.Action, TAction::laUsageError)
        << args[0] << " " << (args.size() > 1 ? args[1] : "");
    EXPECT_FALSE(r.Error.empty());
  }
  EXPECT_EQ(TranslateLinuxCommandLine({"--help"}, nullptr).Action, TAction::laHelp);
  EXPECT_EQ(TranslateLinuxCommandLine({"--show", "-h"}, nullptr).Action, TAction::laHelp);
}

TEST(LinuxCommandLineTest, WindowIdsAreDecimalOrHexadecimal) {
  const std::pair<const char*, uint32_t> good[] = {{"1", 1},
                                                   {"4294967295", 0xFFFFFFFFu},
                                                   {"0x1", 1},
                                                   {"0XfF", 255},
                                                   {"0xFFFFFFFF", 0xFFFFFFFFu}};
  for (const auto& [text, value] : good) {
    uint32_t id = 0;
    EXPECT_TRUE(ParseWindowId(text, id)) << text;
    EXPECT_EQ(id, value) << text;
  }
  for (const char* bad : {"", "0", "0x", "4294967296", "12a", "0x1g", " 5", "+5", "99999999999"}) {
    uint32_t id = 7;
    EXPECT_FALSE(ParseWindowId(bad, id)) << bad;
    EXPECT_EQ(id, 7u) << bad;
  }
}

}  // namespace
}  // namespace tovrin
