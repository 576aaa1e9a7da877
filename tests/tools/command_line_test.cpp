// The parts of tovrin-pack's command line that CLI11 could get wrong for us: values that look
// like options or numbers in another base, repeated options, operands after "--", and the help.
#include <gtest/gtest.h>

#include "command_line.h"
#include "help_text.h"

namespace tovrin {
namespace {

TBuildRequest Build(std::vector<std::string> args) {
  args.insert(args.begin(), {"build", "-o", "out.scr"});
  const TCommandLine cl = ParseCommandLine(args);
  EXPECT_EQ(cl.Command, TPackCommand::pcBuild);
  return cl.Build;
}

TEST(PackCommandLineTest, ValuesAreTakenAsWritten) {
  // A negative value is a value, not an option; numbers are decimal even with a leading zero
  // (a base-guessing conversion would read 010 as 8).
  EXPECT_EQ(Build({"--font-height", "-20", "p.jpg"}).Options.FontHeight, -20);
  EXPECT_EQ(Build({"--interval", "010", "p.jpg"}).Options.Interval, 10);
  EXPECT_EQ(Build({"--sound-order", "010", "p.jpg"}).Options.SoundRandom, 10);
  EXPECT_EQ(Build({"--text", "-x-", "p.jpg"}).Options.Text, "-x-");
  // An option given twice takes its last value.
  EXPECT_EQ(Build({"--interval", "1", "--interval=2", "p.jpg"}).Options.Interval, 2);
  EXPECT_EQ(Build({"--stretch", "--stretch=off", "p.jpg"}).Options.Stretch, false);
}

TEST(PackCommandLineTest, OperandsKeepTheirOrderAndOptionsTakeOneValue) {
  // A yes/no option never takes the next argument, and a repeatable option takes one value per
  // occurrence: the pictures between and after them stay pictures, in order.
  const TBuildRequest b = Build({"--sound", "a.wav", "p1.jpg", "--stretch", "p2.jpg", "--sound",
                                 "b.wav", "p3.jpg", "--", "--sound", "-p4.jpg"});
  EXPECT_EQ(b.Pictures,
            (std::vector<std::string>{"p1.jpg", "p2.jpg", "p3.jpg", "--sound", "-p4.jpg"}));
  EXPECT_EQ(b.Sounds, (std::vector<std::string>{"a.wav", "b.wav"}));
  EXPECT_EQ(b.Options.Stretch, true);
  EXPECT_EQ(Build({"--", "-only.jpg"}).Pictures, (std::vector<std::string>{"-only.jpg"}));
}

TEST(PackCommandLineTest, PictureOptionsReachTheRequest) {
  const TBuildRequest given = Build(
      {"--fit", "1920x1080", "--quality", "80", "--keep-orientation", "--recursive", "photos"});
  EXPECT_EQ(given.PictureOptions.Fit.Width, 1920);
  EXPECT_EQ(given.PictureOptions.Fit.Height, 1080);
  EXPECT_EQ(given.PictureOptions.Quality, 80);
  EXPECT_FALSE(given.PictureOptions.ApplyOrientation);
  EXPECT_TRUE(given.Recursive);
  EXPECT_EQ(given.Pictures, (std::vector<std::string>{"photos"}));
  const TBuildRequest plain = Build({"p.jpg"});
  EXPECT_TRUE(plain.PictureOptions.Fit.Empty());
  EXPECT_EQ(plain.PictureOptions.Quality, 92);
  EXPECT_TRUE(plain.PictureOptions.ApplyOrientation);
  EXPECT_FALSE(plain.Recursive);
}

TEST(PackCommandLineTest, MistakesNameWhatIsWrong) {
  struct TCase {
    std::vector<std::string> Args;
    std::string Says;
  };
  const TCase cases[] = {
      {{}, "no command given"},
      {{"pack"}, "unknown command \"pack\""},
      {{"--fast"}, "unknown argument --fast"},
      {{"build", "p.jpg"}, "missing --output"},
      {{"build", "-o", "x", "--fast", "p.jpg"}, "unknown argument --fast"},
      {{"build", "-o", "x", "--interval", "soon", "p.jpg"}, "--interval: \"soon\""},
      // Both set the stored height: which one wins must not depend on the parser's order.
      {{"build", "-o", "x", "--font-size", "9", "--font-height=-3", "p.jpg"}, "--font-size"},
      {{"build", "-o", "x", "--movie"}, "--movie"},
      {{"build", "-o", "x", "--fit", "1920", "p.jpg"}, "--fit: \"1920\""},
      {{"build", "-o", "x", "--quality", "101", "p.jpg"}, "--quality"},
      {{"extract", "a.scr"}, "missing DIR"},
      {{"inspect", "a.scr", "b.scr"}, "unknown argument b.scr"},
  };
  for (const TCase& c : cases) {
    try {
      ParseCommandLine(c.Args);
      ADD_FAILURE() << "accepted: " << testing::PrintToString(c.Args);
    } catch (const EUsageError& e) {
      EXPECT_NE(e.Message().find(c.Says), std::string::npos) << e.Message();
    }
  }
}

TEST(PackCommandLineTest, HelpListsEveryOptionWithItsDefault) {
  const std::string all = ParseCommandLine({"--help"}).HelpText;
  for (const char* command : {"build", "inspect", "extract"}) {
    const TCommandLine cl = ParseCommandLine({command, "--help"});
    ASSERT_EQ(cl.Command, TPackCommand::pcHelp) << command;
    EXPECT_NE(cl.HelpText.find(std::string("tovrin-pack ") + command), std::string::npos)
        << cl.HelpText;
    EXPECT_NE(all.find(cl.HelpText), std::string::npos) << "the tool's help lacks " << command;
    EXPECT_EQ(test::OptionsWithoutDefault(cl.HelpText), std::vector<std::string>()) << command;
  }
  EXPECT_GE(test::OptionEntryCount(all), 30u);
  EXPECT_EQ(ParseCommandLine({"help"}).HelpText, all);
}

}  // namespace
}  // namespace tovrin
