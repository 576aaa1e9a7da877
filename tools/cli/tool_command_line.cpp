#include "tool_command_line.h"

#include <CLI/CLI.hpp>

namespace tovrin {

namespace {

// CLI11's help layout, except the usage line of a command with an operand list (see
// AddOperandList), which shows the list's hidden twin as "[-- NAME...]".
class TToolFormatter : public CLI::Formatter {
 public:
  std::string make_option_usage(const CLI::Option* opt) const override {
    if (opt->get_group().empty()) return "[-- " + opt->get_description() + "]";
    return CLI::Formatter::make_option_usage(opt);
  }
};

// The long name of an option ("-o,--output" gives "--output"), for messages.
std::string LongName(const std::string& names) {
  const size_t comma = names.rfind(',');
  return comma == std::string::npos ? names : names.substr(comma + 1);
}

CLI::callback_t Applying(const std::string& names, TOptionValue apply) {
  return [what = LongName(names), apply = std::move(apply)](const CLI::results_t& values) {
    try {
      for (const std::string& value : values) apply(what, value);
    } catch (const EConvertError& e) {
      throw CLI::ValidationError(e.Message());
    }
    return true;
  };
}

std::string Joined(const std::vector<std::string>& words, const char* separator) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
  return text;
}

// Every help text of the tool: its own, then that of each command in full.
std::string FullHelp(const CLI::App& app) {
  std::string text = app.help();
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    text += "\n" + command->help(app.get_name());
  }
  return text;
}

// A mistake in the tool's words; CLI11's own message where it already says what is wrong.
std::string UsageMessage(const CLI::App& app, const CLI::ParseError& e) {
  const std::vector<CLI::App*> given = app.get_subcommands();
  const CLI::App* command = given.empty() ? nullptr : given.front();
  // Arguments nobody took explain most mistakes best, whatever CLI11 checked first.
  const std::vector<std::string> extras =
      command != nullptr ? command->remaining() : app.remaining();
  if (!extras.empty()) {
    if (command == nullptr && extras.front().rfind('-', 0) != 0) {
      return "unknown command \"" + extras.front() + "\"";
    }
    return (extras.size() == 1 ? "unknown argument " : "unknown arguments ") + Joined(extras, " ");
  }
  if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
    if (command == nullptr) return "no command given";
    std::vector<std::string> missing;
    for (const CLI::Option* option : command->get_options()) {
      if (option->get_required() && option->count() == 0) missing.push_back(option->get_name());
    }
    if (!missing.empty()) return "missing " + Joined(missing, ", ");
  }
  return e.what();
}

}  // namespace

void ConfigureToolApp(CLI::App& app) {
  app.formatter(std::make_shared<TToolFormatter>());
  app.set_help_flag("-h,--help", "show this help and exit");
  app.set_version_flag("--version", app.get_name() + " " + TOVRIN_VERSION,
                       "show the version and exit");
  app.require_subcommand(1);
  // An option given twice takes its last value, as a later option overrides an earlier one.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

CLI::Option* AddOption(CLI::App& command, const std::string& names, const std::string& description,
                       TOptionValue apply) {
  CLI::Option* option = command.add_option(names, Applying(names, std::move(apply)), description);
  option->type_size(1);
  option->expected(1);
  return option;
}

CLI::Option* AddFlagOption(CLI::App& command, const std::string& names,
                           const std::string& description, TOptionValue apply) {
  // A value-less option: CLI11 passes "true" when it is given alone and the text after "=".
  CLI::Option* option = command.add_option(names, Applying(names, std::move(apply)), description);
  option->type_size(0);
  option->expected(0);
  return option;
}

CLI::Option* AddOperandList(CLI::App& command, const std::string& name,
                            std::vector<std::string>& operands, const std::string& description) {
  CLI::Option* list = command.add_option(name, operands, description)->type_name("");
  // CLI11 hands the arguments after "--" back to the tool once the command's operands have all
  // they require. An operand that still wants a value keeps "--" in the command; this hidden one
  // never gets any, because the list before it takes every operand.
  command.add_option(name + "-after-separator", CLI::callback_t(), name + "...")->group("");
  return list;
}

TToolCommandLine ParseToolCommandLine(CLI::App& app, const std::vector<std::string>& args) {
  TToolCommandLine result;
  // CLI11 takes the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    const std::vector<CLI::App*> given = app.get_subcommands();
    result.Help = given.empty() ? FullHelp(app) : given.front()->help(app.get_name());
    if (result.Help->empty() || result.Help->back() != '\n') *result.Help += '\n';
    return result;
  } catch (const CLI::CallForVersion& e) {
    result.Help = std::string(e.what()) + "\n";
    return result;
  } catch (const CLI::ParseError& e) {
    throw EUsageError(UsageMessage(app, e));
  }
  // A tool without commands (require_subcommand(0)) is its own command.
  const std::vector<CLI::App*> given = app.get_subcommands();
  result.Command = given.empty() ? &app : given.front();
  return result;
}

}  // namespace tovrin
