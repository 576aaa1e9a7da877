// The command-line conventions tovrin-pack and tovrin-render share, on top of CLI11.
//
// Each tool is one CLI::App with a subcommand per command. Both tools:
//   - take the last value of an option given twice (repeatable options say so themselves);
//   - read option values with the project's own converters (AddOption): a value they refuse is a
//     mistake on the command line whose message names the option;
//   - answer -h/--help anywhere with the help of the command it follows; the tool's own --help
//     shows the help of every command, so every option is listed with its default;
//   - answer --version before a command with "NAME VERSION", the project's one version;
//   - report every mistake as EUsageError in their own words ("missing --out", "unknown argument
//     --fast", "unknown command \"paint\""), which the tool prints with a hint at --help and exit
//     status 2.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace tovrin {

class EUsageError : public Exception {
  using Exception::Exception;
};

// Sets both tools' conventions on a new app; call it before adding the subcommands.
void ConfigureToolApp(CLI::App& app);

// Receives an option's value: `what` is the option's long name, for messages. May raise
// EConvertError for a value it cannot take.
using TOptionValue = std::function<void(std::string_view what, const std::string& value)>;

// Adds an option that takes a value and hands it to `apply`, once, or for every occurrence when
// the option is made repeatable (->take_all()). names: as CLI11 takes them ("-o,--output").
CLI::Option* AddOption(CLI::App& command, const std::string& names, const std::string& description,
                       TOptionValue apply);

// Adds a yes/no option: given alone it hands `apply` the text "true"; --name=VALUE hands VALUE.
// It never takes the next argument as its value.
CLI::Option* AddFlagOption(CLI::App& command, const std::string& names,
                           const std::string& description, TOptionValue apply);

// Adds an open-ended list of operands (PICTURE...), in the order given; after "--" every
// argument is an operand, even one that starts with "-".
CLI::Option* AddOperandList(CLI::App& command, const std::string& name,
                            std::vector<std::string>& operands, const std::string& description);

struct TToolCommandLine {
  // The subcommand given (the app itself for a tool without commands); null when help or the
  // version was asked for.
  CLI::App* Command = nullptr;
  std::optional<std::string> Help;  // set when help or the version was asked for: the text to print
};

// Parses the arguments (after the program name, UTF-8) into the values bound to `app`. Raises
// EUsageError for a mistake.
TToolCommandLine ParseToolCommandLine(CLI::App& app, const std::vector<std::string>& args);

}  // namespace tovrin
