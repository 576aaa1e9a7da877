// Fuzz target for the INI files: CONTROL.INI and the language file (TIniFile, the setup's
// captions) and tovrin-pack's --settings file. The input is written to a scratch file in the
// current directory, which every parser reads; then a value is written back, which must leave
// every other value of the file as it was read.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/errors.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "pack_settings.h"
#include "seed_corpus.h"
#include "setup/setup_captions.h"

namespace tovrin::fuzz {

namespace {

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

std::string ScratchFile() {
  return Utf8FromPath(std::filesystem::current_path()) + "/fuzz_ini_" +
         std::to_string(static_cast<long>(getpid())) + ".ini";
}

// Removes the scratch file when the input is done.
struct TScratch {
  std::string Path = ScratchFile();
  ~TScratch() {
    std::error_code ignored;
    std::filesystem::remove(PathFromUtf8(Path), ignored);
  }
};

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The three kinds of file, written by TIniFile.
TSeeds IniSeeds() {
  const TScratch scratch;
  TSeeds seeds;
  {
    TIniFile control(scratch.Path);
    control.WriteBool("Setup", "mute", true);
    seeds.push_back(FileBytes(scratch.Path));
  }
  std::filesystem::remove(PathFromUtf8(scratch.Path));
  {
    TIniFile language(scratch.Path);
    language.WriteString("Language", "Title", "Titel:");
    language.WriteString("Language", "MuteMusic", "Musik aus");
    language.WriteString("Language", "btnOK", "&OK");
    language.WriteString("Language", "DownloadSWF", "Bitte installieren");
    language.WriteString("Language", "DownloadURL", "http://example.com/player");
    seeds.push_back(FileBytes(scratch.Path));
  }
  std::filesystem::remove(PathFromUtf8(scratch.Path));
  {
    TIniFile settings(scratch.Path);
    const char* const kValues[][2] = {
        {"Text", "Ferien am Meer, \xC3\xA9t\xC3\xA9"},
        {"TextFont.Name", "Arial"},
        {"TextFont.Size", "12"},
        {"TextFont.Color", "#FF8000"},
        {"TextFont.Charset", "0"},
        {"TextFont.Style", "bold,italic"},
        {"TextFont.Pitch", "fixed"},
        {"lRandomPic", "1"},
        {"lStretch", "true"},
        {"Interval", "4000"},
        {"SoundRandom", "-1"},
        {"lSoundLoop", "0"},
        {"Title", "Title"},
        {"Ver", "photo"},
        {"EffectCommaList", "0,1,127"},
        {"DescriptCommaList", "\"a, b\",c"},
    };
    for (const auto& kv : kValues) settings.WriteString(PackSettingsSection, kv[0], kv[1]);
    seeds.push_back(FileBytes(scratch.Path));
  }
  return seeds;
}

// Every section's keys and values as the reader reports them.
struct TView {
  std::vector<std::string> Sections;
  std::vector<std::vector<std::string>> Keys;
  std::vector<std::vector<std::string>> Values;
  friend bool operator==(const TView&, const TView&) = default;
};

TView ViewOf(const TIniFile& ini) {
  TView view;
  view.Sections = ini.ReadSections();
  for (const std::string& section : view.Sections) {
    view.Keys.push_back(ini.ReadSection(section));
    view.Values.emplace_back();
    for (const std::string& key : view.Keys.back()) {
      Require(ini.ValueExists(section, key));
      view.Values.back().push_back(ini.ReadString(section, key, ""));
    }
  }
  return view;
}

}  // namespace

}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::IniSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  using tovrin::fuzz::Require;
  const tovrin::fuzz::TScratch scratch;
  {
    std::ofstream out(PathFromUtf8(scratch.Path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) return 0;
  }

  TSetupCaptions captions = DesignCaptions();
  Require(ApplyLanguageFile(scratch.Path, captions));
  try {
    ReadPackSettingsFile(scratch.Path);
  } catch (const Exception&) {
  }

  // Writing a value back as it was read rewrites the whole file: every value reads as before.
  const auto before = tovrin::fuzz::ViewOf(TIniFile(scratch.Path));
  try {
    for (size_t i = 0; i < before.Sections.size(); ++i) {
      if (before.Keys[i].empty()) continue;
      TIniFile ini(scratch.Path);
      const std::string& section = before.Sections[i];
      const std::string& key = before.Keys[i].front();
      ini.WriteString(section, key, ini.ReadString(section, key, ""));
      Require(tovrin::fuzz::ViewOf(TIniFile(scratch.Path)) == before);
      break;
    }
    // The setup dialog writes the mute choice into CONTROL.INI: it reads back as written.
    bool muted = false;
    {
      TIniFile control(scratch.Path);
      muted = control.ReadBool("Setup", "mute", false);
      control.WriteBool("Setup", "mute", !muted);
    }
    Require(TIniFile(scratch.Path).ReadBool("Setup", "mute", muted) == !muted);
  } catch (const EFCreateError&) {
  }
  return 0;
}
