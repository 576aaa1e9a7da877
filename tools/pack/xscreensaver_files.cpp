#include "xscreensaver_files.h"

#include "core/file_names.h"

namespace tovrin {

namespace {

constexpr std::string_view kProgramsKey = "programs:";

// The position just after "programs:" at the start of a line, or npos.
size_t ProgramsValueStart(const std::string& settings) {
  for (size_t at = settings.find(kProgramsKey); at != std::string::npos;
       at = settings.find(kProgramsKey, at + 1)) {
    if (at == 0 || settings[at - 1] == '\n') return at + kProgramsKey.size();
  }
  return std::string::npos;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Replaces the value of the first attribute `name="..."` after `from`.
void SetAttribute(std::string& xml, size_t from, std::string_view name, std::string_view value) {
  const std::string opening = " " + std::string(name) + "=\"";
  const size_t at = xml.find(opening, from);
  if (at == std::string::npos) return;
  const size_t begin = at + opening.size();
  const size_t end = xml.find('"', begin);
  if (end == std::string::npos) return;
  xml.replace(begin, end - begin, XmlEscaped(value));
}

}  // namespace

std::string SaverNameFault(std::string_view name) {
  if (std::string fault = FileNameFault(name); !fault.empty()) return fault;
  if (name.front() == '.' || name.front() == '-')
    return "it starts with \"" + std::string(1, name.front()) + "\"";
  for (const char c : name) {
    if (IsBlank(c) || c == '\'' || c == '"' || c == '\\' || c == '$' || c == '`') {
      return std::string("it holds \"") + c + "\"";
    }
  }
  return "";
}

std::string SaverLabelFault(std::string_view label) {
  if (label.empty()) return "it is empty";
  for (const char c : label) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return "it holds a control character";
    if (c == '"' || c == '\\') return std::string("it holds \"") + c + "\"";
  }
  return "";
}

std::string XScreenSaverCommand(std::string_view programPath) {
  bool plain = !programPath.empty();
  for (const char c : programPath) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '.' || c == '_' || c == '-' || c == '+';
    plain = plain && ok;
  }
  std::string command;
  if (plain) {
    command = programPath;
  } else {
    // Single quotes keep every character but the single quote itself, which is closed, escaped
    // and reopened.
    command = "'";
    for (const char c : programPath)
      command += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += "'";
  }
  return command + " --root";
}

std::string ProgramsEntryText(std::string_view label, std::string_view command) {
  // Ends the "programs:" line, puts the entry on a line of its own and indents whatever followed
  // "programs:" on the next line, where it goes on as before.
  return "\\\n\t\t\"" + std::string(label) + "\" " + std::string(command) + " \\n\\\n\t\t";
}

std::optional<std::string> AddProgramsEntry(const std::string& settings, std::string_view label,
                                            std::string_view command) {
  const size_t start = ProgramsValueStart(settings);
  if (start == std::string::npos) return std::nullopt;
  std::string out = settings;
  out.insert(start, ProgramsEntryText(label, command));
  return out;
}

std::optional<std::string> RemoveProgramsEntry(const std::string& settings,
                                               std::string_view command) {
  // The text as AddProgramsEntry inserted it, whatever its label.
  const size_t start = ProgramsValueStart(settings);
  const std::string_view head = "\\\n\t\t\"";
  const std::string tail = "\" " + std::string(command) + " \\n\\\n\t\t";
  if (start != std::string::npos && settings.compare(start, head.size(), head) == 0) {
    const size_t labelEnd = settings.find('"', start + head.size());
    if (labelEnd != std::string::npos && settings.compare(labelEnd, tail.size(), tail) == 0) {
      std::string out = settings;
      out.erase(start, labelEnd + tail.size() - start);
      return out;
    }
  }
  // Otherwise the line that runs the command: the command after a blank or a quote, and then a
  // blank or the line's end.
  for (size_t at = settings.find(command); at != std::string::npos;
       at = settings.find(command, at + 1)) {
    const size_t after = at + command.size();
    const bool before = at > 0 && (IsBlank(settings[at - 1]) || settings[at - 1] == '"');
    const bool behind = after == settings.size() || IsBlank(settings[after]) ||
                        settings[after] == '\\' || settings[after] == '\n';
    if (!before || !behind) continue;
    const size_t lineStart =
        settings.rfind('\n', at) == std::string::npos ? 0 : settings.rfind('\n', at) + 1;
    if (lineStart == 0) continue;  // the first line is never a continuation
    size_t lineEnd = settings.find('\n', at);
    lineEnd = lineEnd == std::string::npos ? settings.size() : lineEnd + 1;
    std::string line = settings.substr(lineStart, lineEnd - lineStart);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::string out = settings;
    out.erase(lineStart, lineEnd - lineStart);
    // The last line of the list ends it; the line before it now does, without its backslash.
    if (line.empty() || line.back() != '\\') {
      size_t previousEnd = lineStart - 1;  // its newline
      if (previousEnd > 0 && out[previousEnd - 1] == '\\') out.erase(previousEnd - 1, 1);
    }
    return out;
  }
  return std::nullopt;
}

std::string SaverDescription(std::string_view templateXml, std::string_view name,
                             std::string_view label) {
  std::string xml(templateXml);
  const size_t element = xml.find("<screensaver");
  const size_t comment = xml.find("<!--");
  if (comment != std::string::npos && comment < element) {
    size_t end = xml.find("-->", comment);
    if (end != std::string::npos) {
      end += 3;
      if (end < xml.size() && xml[end] == '\n') ++end;
      xml.erase(comment, end - comment);
    }
  }
  const size_t at = xml.find("<screensaver");
  if (at != std::string::npos) {
    SetAttribute(xml, at, "name", name);
    SetAttribute(xml, at, "_label", label);
  }
  return xml;
}

}  // namespace tovrin
