#include "command_line.h"

#include <optional>
#include <string_view>

#include "core/conversions.h"
#include "option_values.h"
#include "text_encoding.h"

namespace tovrin {

namespace {

// Walks the arguments of one command, splitting "--name=value" and handing out values.
class TArgumentCursor {
 public:
  explicit TArgumentCursor(const std::vector<std::string>& args) : FArgs(args) {}

  bool AtEnd() const { return FIndex >= FArgs.size(); }
  const std::string& Peek() const { return FArgs[FIndex]; }

  // Takes the next argument; splits an option of the form --name=value.
  void Next() {
    const std::string& arg = FArgs[FIndex++];
    FInlineValue.reset();
    FName = arg;
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      const size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        FName = arg.substr(0, eq);
        FInlineValue = arg.substr(eq + 1);
      }
    }
  }
  const std::string& Name() const { return FName; }
  bool HasInlineValue() const { return FInlineValue.has_value(); }

  // The value of the current option: after "=", or the next argument.
  std::string Value() {
    if (FInlineValue) return *FInlineValue;
    if (AtEnd()) throw EUsageError("option " + FName + " needs a value");
    return FArgs[FIndex++];
  }
  // For yes/no options: true unless a value after "=" says otherwise.
  bool Flag() {
    if (!FInlineValue) return true;
    try {
      return ParseBoolean(FName, *FInlineValue);
    } catch (const EConvertError& e) {
      throw EUsageError(e.Message());
    }
  }
  void NoValueAllowed() const {
    if (FInlineValue) throw EUsageError("option " + FName + " takes no value");
  }

 private:
  const std::vector<std::string>& FArgs;
  size_t FIndex = 0;
  std::string FName;
  std::optional<std::string> FInlineValue;
};

bool IsOption(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-';
}

bool IsHelp(const std::string& arg) {
  return arg == "-h" || arg == "--help" || arg == "help";
}

int32_t ParseSoundOrder(const std::string& what, const std::string& text) {
  if (SameText(text, "list")) return 0;
  if (SameText(text, "random")) return 2;
  if (SameText(text, "repeat-one")) return 3;
  return ParseInteger(what, text, INT32_MIN, INT32_MAX);
}

// The options that set a show setting, each with the code that reads its value.
struct TSettingsOption {
  const char* Name;
  void (*Apply)(TArgumentCursor& cur, TPackSettings& s);
};

std::string TextValue(TArgumentCursor& cur) {
  return Utf8ToCp1252(cur.Value());
}

constexpr TSettingsOption kSettingsOptions[] = {
    {"--text", [](TArgumentCursor& c, TPackSettings& s) { s.Text = TextValue(c); }},
    {"--font-name", [](TArgumentCursor& c, TPackSettings& s) { s.FontName = TextValue(c); }},
    {"--font-size",
     [](TArgumentCursor& c, TPackSettings& s) {
       s.FontHeight = FontHeightForPoints(ParseInteger(c.Name(), c.Value(), 1, 1000));
     }},
    {"--font-height",
     [](TArgumentCursor& c, TPackSettings& s) {
       s.FontHeight = ParseInteger(c.Name(), c.Value(), -1000, 1000);
     }},
    {"--font-color",
     [](TArgumentCursor& c, TPackSettings& s) { s.FontColor = ParseColor(c.Name(), c.Value()); }},
    {"--font-charset", [](TArgumentCursor& c,
                          TPackSettings& s) { s.FontCharset = ParseCharset(c.Name(), c.Value()); }},
    {"--font-style", [](TArgumentCursor& c,
                        TPackSettings& s) { s.FontStyle = ParseFontStyles(c.Name(), c.Value()); }},
    {"--interval",
     [](TArgumentCursor& c, TPackSettings& s) {
       s.Interval = ParseInteger(c.Name(), c.Value(), 0, INT32_MAX);
     }},
    {"--effects",
     [](TArgumentCursor& c, TPackSettings& s) { s.Effects = ParseEffects(c.Name(), c.Value()); }},
    {"--random-pictures", [](TArgumentCursor& c, TPackSettings& s) { s.RandomPic = c.Flag(); }},
    {"--random-effects", [](TArgumentCursor& c, TPackSettings& s) { s.RandomStyle = c.Flag(); }},
    {"--stretch", [](TArgumentCursor& c, TPackSettings& s) { s.Stretch = c.Flag(); }},
    {"--clear-old", [](TArgumentCursor& c, TPackSettings& s) { s.ClearOldImage = c.Flag(); }},
    {"--sound-order",
     [](TArgumentCursor& c, TPackSettings& s) {
       s.SoundRandom = ParseSoundOrder(c.Name(), c.Value());
     }},
    {"--sound-loop", [](TArgumentCursor& c, TPackSettings& s) { s.SoundLoop = c.Flag(); }},
    {"--mute", [](TArgumentCursor& c, TPackSettings& s) { s.Mute = c.Flag(); }},
    {"--kind", [](TArgumentCursor& c, TPackSettings& s) { s.Ver = TextValue(c); }},
    {"--title", [](TArgumentCursor& c, TPackSettings& s) { s.Title = TextValue(c); }},
    {"--author", [](TArgumentCursor& c, TPackSettings& s) { s.Author = TextValue(c); }},
    {"--email", [](TArgumentCursor& c, TPackSettings& s) { s.Email = TextValue(c); }},
    {"--web", [](TArgumentCursor& c, TPackSettings& s) { s.Web = TextValue(c); }},
};

// Applies one settings option; returns false when the name is not a settings option.
bool ParseSettingsOption(TArgumentCursor& cur, TPackSettings& s) {
  for (const TSettingsOption& option : kSettingsOptions) {
    if (cur.Name() == option.Name) {
      option.Apply(cur, s);
      return true;
    }
  }
  return false;
}

TBuildRequest ParseBuild(const std::vector<std::string>& args) {
  TBuildRequest r;
  TArgumentCursor cur(args);
  bool optionsEnded = false;
  while (!cur.AtEnd()) {
    if (optionsEnded || !IsOption(cur.Peek())) {
      r.Pictures.push_back(cur.Peek());
      cur.Next();
      continue;
    }
    cur.Next();
    const std::string n = cur.Name();
    try {
      if (n == "--")
        optionsEnded = true;
      else if (n == "--engine")
        r.EnginePath = cur.Value();
      else if (n == "-o" || n == "--output")
        r.OutputPath = cur.Value();
      else if (n == "--settings")
        r.SettingsPath = cur.Value();
      else if (n == "--sound")
        r.Sounds.push_back(cur.Value());
      else if (n == "--movie")
        r.Movies.push_back(cur.Value());
      else if (!ParseSettingsOption(cur, r.Options))
        throw EUsageError("unknown option " + n);
    } catch (const EConvertError& e) {
      throw EUsageError(e.Message());
    }
  }
  if (r.OutputPath.empty()) throw EUsageError("build needs an output file (-o OUT)");
  if (r.Pictures.empty() && r.Movies.empty()) {
    throw EUsageError("build needs at least one picture (or a movie for a flash show)");
  }
  return r;
}

// Splits the arguments of inspect and extract into operands and the options allowed.
std::vector<std::string> Operands(const std::vector<std::string>& args, const char* command,
                                  bool* json) {
  std::vector<std::string> operands;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && IsOption(arg)) {
      if (json != nullptr && arg == "--json") {
        *json = true;
      } else {
        throw EUsageError(std::string("unknown option ") + arg + " for " + command);
      }
    } else {
      operands.push_back(arg);
    }
  }
  return operands;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  TCommandLine cl;
  if (args.empty()) throw EUsageError("no command given");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (IsHelp(command)) return cl;
  // "--help" anywhere among the options asks for help instead of running the command.
  for (const std::string& arg : rest) {
    if (arg == "--") break;
    if (arg == "-h" || arg == "--help") return cl;
  }
  if (command == "build") {
    cl.Command = TPackCommand::pcBuild;
    cl.Build = ParseBuild(rest);
  } else if (command == "inspect") {
    cl.Command = TPackCommand::pcInspect;
    const auto ops = Operands(rest, "inspect", &cl.Inspect.Json);
    if (ops.size() != 1) throw EUsageError("inspect needs exactly one FILE");
    cl.Inspect.FileName = ops[0];
  } else if (command == "extract") {
    cl.Command = TPackCommand::pcExtract;
    const auto ops = Operands(rest, "extract", nullptr);
    if (ops.size() != 2) throw EUsageError("extract needs a FILE and a DIR");
    cl.Extract.FileName = ops[0];
    cl.Extract.Directory = ops[1];
  } else {
    throw EUsageError("unknown command \"" + command + "\"");
  }
  return cl;
}

}  // namespace tovrin
