#include "app/saver_mode.h"

#include <string>

#include "core/conversions.h"

namespace tovrin {

namespace {

bool Selects(const std::string& arg, char letter) {
  if (arg.empty()) return false;
  if (arg[0] == letter) return true;
  return arg.size() >= 2 && (arg[0] == '/' || arg[0] == '-') && arg[1] == letter;
}

}  // namespace

TSaverMode ClassifyMode(std::string_view argument) {
  const std::string arg = UpperCase(argument);
  // Three tests in order, each overriding the mode when it matches; no argument matches two.
  TSaverMode mode = smShow;
  if (Selects(arg, 'A')) mode = smChangePassword;
  if (Selects(arg, 'P')) mode = smPreview;
  if (Selects(arg, 'C') || arg.empty()) mode = smSetup;
  return mode;
}

std::string_view SaverModeName(TSaverMode mode) {
  switch (mode) {
    case smChangePassword:
      return "change-password";
    case smPreview:
      return "preview";
    case smSetup:
      return "setup";
    case smShow:
      return "show";
  }
  return "show";
}

}  // namespace tovrin
