// Where the Linux back end keeps things, from the environment (XDG base directories).
// Pure functions of their inputs, so that every case can be tested.
#pragma once

#include <string>

namespace tovrin {

// $TMPDIR when it is an absolute path, else /tmp; ends in '/'.
std::string TempDirFrom(const char* tmpdir);
// $XDG_CONFIG_HOME/tovrin/<program>/ when XDG_CONFIG_HOME is absolute, else
// $HOME/.config/tovrin/<program>/; empty when neither gives an absolute path or program is not
// a plain file name.
std::string SettingsDirFrom(const char* xdgConfigHome, const char* home,
                            const std::string& programFileName);
// Where single-instance locks live: $XDG_RUNTIME_DIR when absolute (private to the user), else
// tempDir; ends in '/'.
std::string LockDirFrom(const char* xdgRuntimeDir, const std::string& tempDir);
// The lock file for a lock name: the name made safe as a file name ('/' and control characters
// become '_'), with ".lock" added.
std::string LockFileName(const std::string& lockName);

// Creates dir and its missing parents (mode 0700 for the ones made); true when dir exists as a
// directory afterwards.
bool MakeDirectories(const std::string& dir);

}  // namespace tovrin
