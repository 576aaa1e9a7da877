// `tovrin-pack install`: puts a finished screen saver where the system's screen-saver settings
// find it, and takes it away again.
//
// Linux, for the user alone (nothing outside the home folder is touched):
//   - the saver is copied to ~/.local/libexec/xscreensaver/NAME (or --folder DIR/NAME): the
//     per-user twin of Debian's /usr/libexec/xscreensaver, writable without root. It is not on
//     XScreenSaver's search path, so the entry names the program by its absolute path;
//     XScreenSaver runs each entry through the shell, so that works whatever PATH holds;
//   - its settings description NAME.xml goes to $XDG_DATA_HOME/xscreensaver/config (by default
//     ~/.local/share/...). XScreenSaver's settings window reads descriptions from its own folder,
//     /usr/share/xscreensaver/config, which needs root: the tool says how to copy it there;
//   - an entry `"LABEL" PROGRAM --root` becomes the first of the programs list in ~/.xscreensaver,
//     after the file's bytes were kept in ~/.xscreensaver.tovrin-backup. Every other line stays.
//     A missing ~/.xscreensaver (XScreenSaver writes it when its settings are first saved) or one
//     without a programs list is left alone, and the tool says so.
// --uninstall undoes the three: the entry leaves the list (the file's bytes are as before the
// install when nothing else changed it), the program and the description are removed.
//
// Windows: the .scr is copied into --folder, and the tool says how to choose it.
#pragma once

#include <cstdio>
#include <string>

#include "command_line.h"

namespace tovrin {

// Where the Linux install puts things, from the user's environment.
struct TSaverPlaces {
  std::string ProgramDir;      // ~/.local/libexec/xscreensaver
  std::string DescriptionDir;  // $XDG_DATA_HOME/xscreensaver/config
  std::string SettingsFile;    // ~/.xscreensaver
};

// home: $HOME; xdgDataHome: $XDG_DATA_HOME, empty or relative when unset (then ~/.local/share,
// as the XDG rules say). Raises EFOpenError when home is empty or relative.
TSaverPlaces SaverPlaces(const std::string& home, const std::string& xdgDataHome);

// Carries out the request. Prints what was done to `out` and what could not be done, and how to
// do it by hand, to `err`. Returns false when a part could not be done (the rest is done and
// stays). Raises an Exception, having changed nothing, when the saver is not a Tovrin screen saver,
// the name or the label cannot be used, or nothing of the name is installed (--uninstall); and
// when a file cannot be written.
bool RunInstall(const TInstallRequest& request, const TSaverPlaces& places, std::FILE* out,
                std::FILE* err);

}  // namespace tovrin
