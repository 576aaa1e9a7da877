// Where the Linux back end keeps things, from the environment (XDG base directories).
// Functions of their inputs (the environment is passed in), so that every case can be tested.
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
// Where single-instance locks live, ending in '/': $XDG_RUNTIME_DIR when absolute (the session
// makes it private to the user), else a folder of the user's own in the shared tempDir,
// "tovrin-lock-<uid>/", made when missing (MakePrivateDirectory). "" when that folder cannot be
// made or is not private: a lock file in a place another user controls would let that user hold the
// lock.
std::string LockDirFrom(const char* xdgRuntimeDir, const std::string& tempDir);
// Makes dir with mode 0700 when it is missing (not its parents), then checks it: true only for a
// real folder (not a link), owned by the calling user, with mode exactly 0700. A folder that was
// there already is never changed, whoever owns it.
bool MakePrivateDirectory(const std::string& dir);
// The lock file for a lock name: the name made safe as a file name ('/' and control characters
// become '_'), with ".lock" added.
std::string LockFileName(const std::string& lockName);

// Creates dir and its missing parents (mode 0700 for the ones made); true when dir exists as a
// directory afterwards.
bool MakeDirectories(const std::string& dir);

}  // namespace tovrin
