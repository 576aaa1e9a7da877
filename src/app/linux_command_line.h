// The engine's command line as Linux users and XScreenSaver spell it, turned into the engine's
// own switches (the first two arguments the entry routine takes) and the Linux back end's
// options. A pure spelling translation: what each mode does is the entry routine's business.
//
//   --show                 the show                            -> "/s"
//   --preview WINDOW       the preview into X11 window WINDOW  -> "/p" WINDOW (in decimal)
//   --setup                the setup dialog                    -> "/c"
//   --help, -h             the usage text
//   -root                  the show inside XScreenSaver: drawn into $XSCREENSAVER_WINDOW when
//                          it is set, else into the root window  -> "/s", hosted
//   -window-id ID          the show drawn into window ID      -> "/s", hosted
//   -mute                  no sound (XScreenSaver's settings pass it)
//   no argument, with $XSCREENSAVER_WINDOW set: the show in that window (a host that starts the
//                          program without -root)
//   anything else          passed on unchanged (the Windows switches: /s, /p 1234, /c, /a ...)
//
// Window ids are decimal or hexadecimal with 0x, as XScreenSaver writes them; the double-dash
// spellings of the XScreenSaver switches (--root, --window-id, --mute) are accepted too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

struct TLinuxCommandLine {
  enum class TAction : uint8_t { laRun, laHelp, laUsageError };
  TAction Action = TAction::laRun;
  // The engine's first two arguments ("" when missing).
  std::string Arg1;
  std::string Arg2;
  // A hosted show: the window to draw into (0: none), or the root window.
  uint32_t HostWindow = 0;
  bool HostRoot = false;
  bool Mute = false;
  // What is wrong, for laUsageError.
  std::string Error;

  bool Hosted() const { return HostWindow != 0 || HostRoot; }
};

// args: the command line without the program name; xscreensaverWindow: the value of
// $XSCREENSAVER_WINDOW or nullptr.
TLinuxCommandLine TranslateLinuxCommandLine(const std::vector<std::string>& args,
                                            const char* xscreensaverWindow);

// A window id in decimal or 0x-hexadecimal, 1 to 0xFFFFFFFF; false for anything else.
bool ParseWindowId(std::string_view text, uint32_t& id);

// The usage text of the Linux spellings.
const char* LinuxUsage();

}  // namespace tovrin
