// The programs list of ~/.xscreensaver as `tovrin-pack install` edits it, read back the way an X
// resource file is read, and the settings description it writes.
#include <gtest/gtest.h>

#include <sstream>

#include "xscreensaver_files.h"

namespace tovrin {
namespace {

// The resources of an X resource file: lines ending in a backslash go on into the next one.
std::map<std::string, std::string> Resources(const std::string& text) {
  std::map<std::string, std::string> resources;
  std::istringstream lines(text);
  std::string line, logical;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\\') {
      logical += line.substr(0, line.size() - 1);
      continue;
    }
    logical += line;
    const size_t colon = logical.find(':');
    if (colon != std::string::npos && logical[0] != '!' && logical[0] != '#') {
      resources[logical.substr(0, colon)] = logical.substr(colon + 1);
    }
    logical.clear();
  }
  return resources;
}

// The entries of the programs list, blanks around each trimmed.
std::vector<std::string> Programs(const std::string& text) {
  const auto resources = Resources(text);
  const auto it = resources.find("programs");
  if (it == resources.end()) return {};
  std::vector<std::string> entries;
  const std::string& value = it->second;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find("\\n", start);
    std::string entry = value.substr(start, end == std::string::npos ? end : end - start);
    const size_t first = entry.find_first_not_of(" \t");
    const size_t last = entry.find_last_not_of(" \t");
    entry = first == std::string::npos ? "" : entry.substr(first, last - first + 1);
    if (!entry.empty()) entries.push_back(entry);
    if (end == std::string::npos) break;
    start = end + 2;
  }
  return entries;
}

const std::string kCommand = "/home/me/.local/libexec/xscreensaver/nature --root";
const std::string kEntry = "\"Nature\" " + kCommand;

TEST(XScreenSaverFilesTest, AddPutsTheEntryFirstAndRemoveGivesBackTheBytes) {
  struct TCase {
    const char* Why;
    std::string Settings;
    std::vector<std::string> Before;  // the programs list as it was
  };
  const TCase cases[] = {
      {"the list as XScreenSaver writes it",
       "timeout:\t0:10:00\nprograms:\t\t\t\t\\\n\t\t  maze -root\t\t\\n\\\n  GL: \t  superquadrics "
       "-root\t\\n\n\npointerHysteresis: 10\n",
       {"maze -root", "GL: \t  superquadrics -root"}},
      {"one program on the programs line itself",
       "programs: qix -root\nlock: False\n",
       {"qix -root"}},
      {"an empty list followed by another resource", "programs:\nlock: False\n", {}},
      {"an empty list at the very end, no newline", "lock: False\nprograms:", {}},
      {"\"programs:\" inside another line is not the list",
       "textProgram: echo programs: none\nprograms:\t\\\n  maze -root \\n\n",
       {"maze -root"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Why);
    ASSERT_EQ(Programs(c.Settings), c.Before);
    const std::optional<std::string> added = AddProgramsEntry(c.Settings, "Nature", kCommand);
    ASSERT_TRUE(added.has_value());
    std::vector<std::string> expected{kEntry};
    expected.insert(expected.end(), c.Before.begin(), c.Before.end());
    EXPECT_EQ(Programs(*added), expected);
    // Every other resource reads as before.
    auto resources = Resources(*added), original = Resources(c.Settings);
    resources.erase("programs");
    original.erase("programs");
    EXPECT_EQ(resources, original);
    EXPECT_EQ(RemoveProgramsEntry(*added, kCommand), c.Settings);
  }
  EXPECT_EQ(AddProgramsEntry("timeout: 0:10:00\nxprograms: a\n", "Nature", kCommand), std::nullopt);
}

TEST(XScreenSaverFilesTest, RemoveFindsTheEntryAfterXScreenSaverRewroteTheList) {
  struct TCase {
    const char* Why;
    std::string Settings;
    std::optional<std::vector<std::string>> After;  // nullopt: nothing removed
  };
  const TCase cases[] = {
      {"in the middle, blanks changed",
       "programs:\t\\\n  maze -root \\n\\\n  \"Nature\"  " + kCommand +
           "\t\\n\\\n  qix -root \\n\n",
       std::vector<std::string>{"maze -root", "qix -root"}},
      {"last, disabled with a minus",
       "programs:\t\\\n  maze -root \\n\\\n-  \"Nature\" " + kCommand + " \\n\nlock: False\n",
       std::vector<std::string>{"maze -root"}},
      {"without its label", "programs:\t\\\n  " + kCommand + " \\n\\\n  qix -root \\n\n",
       std::vector<std::string>{"qix -root"}},
      {"another saver whose name starts alike stays",
       "programs:\t\\\n  /home/me/.local/libexec/xscreensaver/nature2 --root \\n\n", std::nullopt},
      {"no list at all", "lock: False\n", std::nullopt},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Why);
    const std::optional<std::string> removed = RemoveProgramsEntry(c.Settings, kCommand);
    ASSERT_EQ(removed.has_value(), c.After.has_value()) << removed.value_or("");
    if (!removed) continue;
    EXPECT_EQ(Programs(*removed), *c.After) << *removed;
    auto resources = Resources(*removed), original = Resources(c.Settings);
    resources.erase("programs");
    original.erase("programs");
    EXPECT_EQ(resources, original);
  }
}

TEST(XScreenSaverFilesTest, NamesLabelsAndCommands) {
  for (const char* good : {"nature", "Harbour-2026", "caf\xC3\xA9.show", "a_b+c"}) {
    EXPECT_EQ(SaverNameFault(good), "") << good;
  }
  for (const char* bad : {"", ".", "..", ".hidden", "-root", "a b", "a'b", "a\"b", "a/b", "a\\b",
                          "a$b", "a`b", "con", "a\tb", "nature."}) {
    EXPECT_NE(SaverNameFault(bad), "") << bad;
  }
  for (const char* good : {"Nature photos", "Caf\xC3\xA9 <&> 'x'"}) {
    EXPECT_EQ(SaverLabelFault(good), "") << good;
  }
  for (const char* bad : {"", "a\"b", "a\\b", "a\nb", "a\x7f"}) {
    EXPECT_NE(SaverLabelFault(bad), "") << bad;
  }
  EXPECT_EQ(XScreenSaverCommand("/home/me/x/nature"), "/home/me/x/nature --root");
  EXPECT_EQ(XScreenSaverCommand("/home/my name/x"), "'/home/my name/x' --root");
  EXPECT_EQ(XScreenSaverCommand("/home/o'neil/x"), "'/home/o'\\''neil/x' --root");
  EXPECT_EQ(XScreenSaverCommand("/home/j\xC3\xB6rg/x"), "'/home/j\xC3\xB6rg/x' --root");
}

TEST(XScreenSaverFilesTest, DescriptionCarriesTheNameAndTheEscapedLabel) {
  const std::string templateXml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- how to use this file -->\n"
      "<screensaver name=\"tovrin\" _label=\"Tovrin picture show\">\n"
      "  <boolean id=\"mute\" _label=\"Mute music\" arg-set=\"-mute\"/>\n</screensaver>\n";
  EXPECT_EQ(SaverDescription(templateXml, "nature", "Caf\xC3\xA9 <&> 'x'"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<screensaver name=\"nature\" _label=\"Caf\xC3\xA9 &lt;&amp;&gt; 'x'\">\n"
            "  <boolean id=\"mute\" _label=\"Mute music\" arg-set=\"-mute\"/>\n</screensaver>\n");
}

}  // namespace
}  // namespace tovrin
