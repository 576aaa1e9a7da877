// The conventions every tool shares that are not a value parser: --version.
#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <regex>

#include "tool_command_line.h"

namespace tovrin {
namespace {

TEST(ToolCommandLineTest, VersionIsAnsweredBeforeAnyCommand) {
  struct TCase {
    std::vector<std::string> Args;
    bool Answered;  // false: a usage error
  };
  const TCase cases[] = {
      {{"--version"}, true},
      // The tool demands a command, but --version, like --help, needs none.
      {{"--version", "--help"}, true},
      // After a command it is that command's argument, which it does not take.
      {{"paint", "--version"}, false},
  };
  for (const TCase& c : cases) {
    CLI::App app("A tool.", "tovrin-example");
    ConfigureToolApp(app);
    app.add_subcommand("paint", "Paints.");
    std::string joined;
    for (const std::string& a : c.Args) joined += a + " ";
    if (c.Answered) {
      const TToolCommandLine parsed = ParseToolCommandLine(app, c.Args);
      ASSERT_TRUE(parsed.Help.has_value()) << joined;
      EXPECT_TRUE(
          std::regex_match(*parsed.Help, std::regex("tovrin-example [0-9]+\\.[0-9]+\\.[0-9]+\n")))
          << joined << ": " << *parsed.Help;
      EXPECT_EQ(parsed.Command, nullptr);
    } else {
      EXPECT_THROW(ParseToolCommandLine(app, c.Args), EUsageError) << joined;
    }
  }
}

}  // namespace
}  // namespace tovrin
