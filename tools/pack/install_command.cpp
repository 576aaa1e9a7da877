#include "install_command.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "core/ansi_text.h"
#include "core/errors.h"
#include "core/output_file.h"
#include "input_file.h"
#include "package/package_locator.h"
#include "saver_description_template.h"
#include "xscreensaver_files.h"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

std::string PathText(const fs::path& p) {
  const std::u8string text = p.u8string();
  return std::string(text.begin(), text.end());
}

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Copies a saver (up to 2 GiB) into a new file a piece at a time, never whole in memory; the copy
// appears complete or not at all.
void CopySaver(const fs::path& from, const fs::path& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file " + PathText(from));
  TOutputFile out(PathText(to));
  std::string piece(1 << 20, '\0');
  while (in) {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    out.Write(piece.data(), static_cast<size_t>(in.gcount()));
  }
  if (in.bad()) throw EReadError(PathText(from) + ": cannot be read");
  out.CopyPermissionsFrom(PathText(from));
  out.Commit();
}

// The saver's title when `path` is a Tovrin screen saver (possibly empty); nullopt otherwise.
std::optional<std::string> SaverTitle(const fs::path& path) {
  try {
    std::unique_ptr<TFileStream> stream = OpenSelfStream(PathText(path));
    const TPackageTrailer trailer = ReadPackageTrailer(*stream);
    if (!trailer.Ok || trailer.PackageLength <= 0) return std::nullopt;
    const std::unique_ptr<TSSFileLocations> settings =
        ReadShowSettings(*stream, trailer.SettingsOffset, nullptr);
    return AnsiToUtf8(settings->Title());
  } catch (const Exception&) {
    return std::nullopt;
  }
}

bool StartsWith(const fs::path& path, std::string_view magic) {
  std::ifstream in(path, std::ios::binary);
  std::string head(magic.size(), '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  return in && head == magic;
}

std::string InstallName(const TInstallRequest& request) {
  const std::string name =
      !request.Name.empty() ? request.Name : PathText(PathOf(request.Saver).filename());
  if (const std::string fault = SaverNameFault(name); !fault.empty()) {
    throw EConvertError("\"" + name + "\" cannot name an installed saver: " + fault +
                        (request.Name.empty() ? " (choose one with --name)" : ""));
  }
  return name;
}

// Checks the saver and returns the label to show for it.
std::string CheckSaver(const TInstallRequest& request, const std::string& name, bool windows) {
  RequireRegularFile(request.Saver);
  const fs::path saver = PathOf(request.Saver);
  const std::optional<std::string> title = SaverTitle(saver);
  if (!title) {
    throw EFOpenError(request.Saver +
                      ": not a Tovrin screen saver (no package at its end); make one with "
                      "tovrin-pack build");
  }
  if (!windows && StartsWith(saver, "MZ")) {
    throw EFOpenError(request.Saver + ": a Windows screen saver; build one from the Linux engine");
  }
  if (!request.Label.empty()) {
    if (const std::string fault = SaverLabelFault(request.Label); !fault.empty()) {
      throw EConvertError("--label \"" + request.Label + "\" cannot be used: " + fault);
    }
    return request.Label;
  }
  return SaverLabelFault(*title).empty() ? *title : name;
}

#ifndef _WIN32
std::string ReadWholeFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file " + PathText(p));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw EReadError(PathText(p) + ": cannot be read");
  return text;
}

void WriteWholeFile(const fs::path& p, std::string_view bytes, const fs::path& permissionsFrom) {
  TOutputFile file(PathText(p));
  file.Write(bytes);
  if (!permissionsFrom.empty()) file.CopyPermissionsFrom(PathText(permissionsFrom));
  file.Commit();
}

constexpr const char* kBackupSuffix = ".tovrin-backup";
constexpr const char* kSystemDescriptionDir = "/usr/share/xscreensaver/config";

// Replaces the settings file with new text, keeping its old bytes in the backup first.
void RewriteSettings(const fs::path& settings, const std::string& oldText,
                     const std::string& newText) {
  WriteWholeFile(PathText(settings) + kBackupSuffix, oldText, settings);
  WriteWholeFile(settings, newText, settings);
}

// ~/.xscreensaver as the file it names: XScreenSaver's own file when it is a link to one.
fs::path SettingsTarget(const std::string& settingsFile) {
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(PathOf(settingsFile), ec);
  return ec ? PathOf(settingsFile) : target;
}

bool InstallLinux(const TInstallRequest& request, const TSaverPlaces& places, std::FILE* out,
                  std::FILE* err) {
  const std::string name = InstallName(request);
  const std::string label = CheckSaver(request, name, false);
  const fs::path programDir = PathOf(request.Folder.empty() ? places.ProgramDir : request.Folder);
  const fs::path program = fs::absolute(programDir / PathOf(name)).lexically_normal();
  const fs::path description = PathOf(places.DescriptionDir) / PathOf(name + ".xml");
  const std::string command = XScreenSaverCommand(PathText(program));

  fs::create_directories(programDir);
  CopySaver(PathOf(request.Saver), program);
  // XScreenSaver starts it: it must be executable whatever the source's bits were.
  fs::permissions(program, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                  fs::perm_options::add);
  std::fprintf(out, "copied %s to %s\n", request.Saver.c_str(), PathText(program).c_str());

  fs::create_directories(description.parent_path());
  WriteWholeFile(description, SaverDescription(SaverDescriptionTemplate(), name, label), {});
  std::fprintf(out, "wrote its settings description %s\n", PathText(description).c_str());
  std::fprintf(err,
               "note: XScreenSaver's settings window reads descriptions from %s only; to give "
               "\"%s\" its settings there, run as root:\n  install -m 644 '%s' %s/\n",
               kSystemDescriptionDir, label.c_str(), PathText(description).c_str(),
               kSystemDescriptionDir);

  const fs::path settings = SettingsTarget(places.SettingsFile);
  std::error_code ec;
  if (!fs::is_regular_file(settings, ec)) {
    std::fprintf(err,
                 "could not add \"%s\" to XScreenSaver's list: %s does not exist yet "
                 "(XScreenSaver writes it when its settings are first saved); open "
                 "xscreensaver-settings once, then run this command again\n",
                 label.c_str(), places.SettingsFile.c_str());
    return false;
  }
  const std::string oldText = ReadWholeFile(settings);
  // A saver installed again under its name gets one entry, with the new label.
  const std::string base = RemoveProgramsEntry(oldText, command).value_or(oldText);
  const std::optional<std::string> newText = AddProgramsEntry(base, label, command);
  if (!newText) {
    std::fprintf(err,
                 "could not add \"%s\" to XScreenSaver's list: %s has no programs: list; add "
                 "this line to it in xscreensaver-settings or by hand:\n  \"%s\" %s\n",
                 label.c_str(), places.SettingsFile.c_str(), label.c_str(), command.c_str());
    return false;
  }
  RewriteSettings(settings, oldText, *newText);
  std::fprintf(out, "added \"%s\" to the programs list of %s (its old bytes: %s%s)\n",
               label.c_str(), places.SettingsFile.c_str(), places.SettingsFile.c_str(),
               kBackupSuffix);
  return true;
}

bool UninstallLinux(const TInstallRequest& request, const TSaverPlaces& places, std::FILE* out,
                    std::FILE* err) {
  const std::string name = InstallName(request);
  const fs::path programDir = PathOf(request.Folder.empty() ? places.ProgramDir : request.Folder);
  const fs::path program = fs::absolute(programDir / PathOf(name)).lexically_normal();
  const fs::path description = PathOf(places.DescriptionDir) / PathOf(name + ".xml");
  const std::string command = XScreenSaverCommand(PathText(program));
  std::error_code ec;
  const bool hasProgram = fs::is_regular_file(program, ec);
  // Only a Tovrin saver is removed: another program that happens to have the name stays.
  if (hasProgram && !SaverTitle(program)) {
    throw EFOpenError(PathText(program) + " is not a Tovrin screen saver; it was left alone");
  }
  const fs::path settings = SettingsTarget(places.SettingsFile);
  std::optional<std::string> oldText;
  if (fs::is_regular_file(settings, ec)) oldText = ReadWholeFile(settings);
  const std::optional<std::string> newText =
      oldText ? RemoveProgramsEntry(*oldText, command) : std::nullopt;
  const bool hasDescription = fs::is_regular_file(description, ec);
  if (!hasProgram && !newText && !hasDescription) {
    throw EFOpenError("no saver named \"" + name + "\" is installed (looked for " +
                      PathText(program) + ", " + PathText(description) + " and its entry in " +
                      places.SettingsFile + ")");
  }
  if (newText) {
    RewriteSettings(settings, *oldText, *newText);
    std::fprintf(out, "removed it from the programs list of %s (its old bytes: %s%s)\n",
                 places.SettingsFile.c_str(), places.SettingsFile.c_str(), kBackupSuffix);
  }
  if (hasProgram) {
    fs::remove(program);
    std::fprintf(out, "removed %s\n", PathText(program).c_str());
  }
  if (hasDescription) {
    fs::remove(description);
    std::fprintf(out, "removed %s\n", PathText(description).c_str());
  }
  const fs::path systemCopy = fs::path(kSystemDescriptionDir) / PathOf(name + ".xml");
  if (fs::exists(systemCopy, ec)) {
    std::fprintf(err, "note: %s stays; remove it as root if it was this saver's\n",
                 PathText(systemCopy).c_str());
  }
  return true;
}

#else
// Windows: the .scr goes into the folder the user named.
std::string WindowsTarget(const TInstallRequest& request, std::string& name) {
  name = InstallName(request);
  if (name.size() < 4 || (name.compare(name.size() - 4, 4, ".scr") != 0 &&
                          name.compare(name.size() - 4, 4, ".SCR") != 0)) {
    name += ".scr";
  }
  return PathText(PathOf(request.Folder) / PathOf(name));
}

bool InstallWindows(const TInstallRequest& request, std::FILE* out) {
  std::string name;
  const std::string target = WindowsTarget(request, name);
  CheckSaver(request, name, true);
  fs::create_directories(PathOf(request.Folder));
  CopySaver(PathOf(request.Saver), PathOf(target));
  std::fprintf(out,
               "copied %s to %s\nTo choose it: right-click %s in that folder and pick "
               "\"Install\"; Windows opens its screen-saver settings with it chosen.\n",
               request.Saver.c_str(), target.c_str(), name.c_str());
  return true;
}

bool UninstallWindows(const TInstallRequest& request, std::FILE* out) {
  std::string name;
  const std::string target = WindowsTarget(request, name);
  std::error_code ec;
  if (!fs::is_regular_file(PathOf(target), ec)) {
    throw EFOpenError("no saver " + target + " to remove");
  }
  if (!SaverTitle(PathOf(target))) {
    throw EFOpenError(target + " is not a Tovrin screen saver; it was left alone");
  }
  fs::remove(PathOf(target));
  std::fprintf(out, "removed %s\n", target.c_str());
  return true;
}
#endif

}  // namespace

TSaverPlaces SaverPlaces(const std::string& home, const std::string& xdgDataHome) {
  const fs::path homeDir = PathOf(home);
  if (home.empty() || !homeDir.is_absolute()) {
    throw EFOpenError("HOME is not set to an absolute path: no place to install for you");
  }
  const fs::path data = !xdgDataHome.empty() && PathOf(xdgDataHome).is_absolute()
                            ? PathOf(xdgDataHome)
                            : homeDir / ".local" / "share";
  TSaverPlaces places;
  places.ProgramDir = PathText(homeDir / ".local" / "libexec" / "xscreensaver");
  places.DescriptionDir = PathText(data / "xscreensaver" / "config");
  places.SettingsFile = PathText(homeDir / ".xscreensaver");
  return places;
}

bool RunInstall(const TInstallRequest& request, const TSaverPlaces& places, std::FILE* out,
                std::FILE* err) {
#ifdef _WIN32
  (void)places;
  (void)err;
  return request.Uninstall ? UninstallWindows(request, out) : InstallWindows(request, out);
#else
  return request.Uninstall ? UninstallLinux(request, places, out, err)
                           : InstallLinux(request, places, out, err);
#endif
}

}  // namespace tovrin
