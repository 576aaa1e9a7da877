// The text of XScreenSaver's files that `tovrin-pack install` writes or edits: a saver's settings
// description and its entry in the `programs:` list of ~/.xscreensaver.
//
// ~/.xscreensaver is an X resource file. The programs list is one resource whose value goes on
// over lines ending in a backslash, one saver a line, each ending in "\n":
/*
   programs:                                              \
                 "Nature photos"  /home/me/.local/libexec/xscreensaver/nature --root \n\
                 maze -root                                \n\
                 ...                                       \n
*/
// An entry is an optional "Label" and a shell command. AddProgramsEntry inserts one text right
// after "programs:" and RemoveProgramsEntry takes that same text out again, so adding and removing
// gives back the file's bytes exactly.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

// Why a saver cannot be installed under this name, or "" when it can: the name must be a safe
// file name (core/file_names.h) without blanks, quotes, backslashes or "$" (it stands in a shell
// command and in XML), and must not start with "." or "-". Letters outside ASCII are fine.
std::string SaverNameFault(std::string_view name);

// Why a label cannot stand in the programs list and the description, or "" when it can: it must
// not be empty, and must not hold control characters, a double quote or a backslash.
std::string SaverLabelFault(std::string_view label);

// The shell command XScreenSaver runs: the program's absolute path, quoted when it holds anything
// but letters, digits and / . _ - + (a home folder with a blank), and --root.
std::string XScreenSaverCommand(std::string_view programPath);

// The text AddProgramsEntry inserts for one saver.
std::string ProgramsEntryText(std::string_view label, std::string_view command);

// The settings file with the entry added as the first of the programs list. nullopt when the
// file has no "programs:" resource at the start of a line.
std::optional<std::string> AddProgramsEntry(const std::string& settings, std::string_view label,
                                            std::string_view command);

// The settings file without the entry for command: the text AddProgramsEntry inserted, when it
// is still there whole; otherwise the line of the list that runs the command (after XScreenSaver's
// settings window rewrote the file). nullopt when no entry runs the command.
std::optional<std::string> RemoveProgramsEntry(const std::string& settings,
                                               std::string_view command);

// The settings description of a saver called name: the template (share/xscreensaver/tovrin.xml)
// with its leading comment left out, name="..." set to name and _label="..." to the label
// (escaped for XML).
std::string SaverDescription(std::string_view templateXml, std::string_view name,
                             std::string_view label);

}  // namespace tovrin
