#include "app/arguments.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

struct SwitchCase {
  const char* arguments;
  IntBool autoStart, restore, exit;
  const char* excluded;
};

void PrintTo(const SwitchCase& c, std::ostream* os) { *os << '[' << c.arguments << ']'; }

class ReadSwitchesTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ReadSwitchesTest, SetsExactlyTheFlagsOfTheCommandLine) {
  const SwitchCase& c = GetParam();
  SharedState state;
  ReadSwitches(c.arguments, state);
  EXPECT_EQ(state.bAutoStart, c.autoStart);
  EXPECT_EQ(state.bRestoreWhenDone, c.restore);
  EXPECT_EQ(state.bExitWhenDone, c.exit);
  EXPECT_EQ(state.sExcludedDrives, c.excluded);
}

constexpr IntBool T = kTrue, F = kFalse;

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ReadSwitchesTest,
    ::testing::Values(
        SwitchCase{"", F, F, F, ""}, SwitchCase{"     ", F, F, F, ""},
        SwitchCase{"-s -m", T, T, F, ""}, SwitchCase{"-M -E", F, T, F, ""},
        SwitchCase{"-E -M", F, T, T, ""}, SwitchCase{"-S -S", T, F, F, ""},
        SwitchCase{"/R:D /R:E", F, F, F, "E"},
        SwitchCase{"/R:D/R:E", F, F, F, "DE"},
        SwitchCase{"/r:de", F, F, F, "DE"}, SwitchCase{"/R:", F, F, F, ""},
        SwitchCase{"/R:C:", F, F, F, "C:"}, SwitchCase{"-S,-M", F, F, F, ""},
        SwitchCase{"-S/R:D", F, F, F, ""}, SwitchCase{"\"-S\"", F, F, F, ""},
        SwitchCase{"-S\t-M", F, F, F, ""}, SwitchCase{"-S   -M", T, T, F, ""},
        SwitchCase{"  -e  ", F, F, T, ""}, SwitchCase{"-x -S", T, F, F, ""},
        SwitchCase{"-SS -MM /X:D", F, F, F, ""},
        SwitchCase{"-S -E /R:cd", T, F, T, "CD"}));

TEST(ReadSwitchesTest, NeverResetsFlagsSetBefore) {
  SharedState state;
  state.bRestoreWhenDone = kTrue;
  ReadSwitches("-E", state);
  EXPECT_EQ(state.bExitWhenDone, kFalse);
  EXPECT_EQ(state.bRestoreWhenDone, kTrue);
}

struct CommandLineCase {
  const char* commandLine;
  const char* arguments;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << '[' << c.commandLine << ']'; }

class ArgumentTextTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ArgumentTextTest, DropsTheProgramPath) {
  EXPECT_EQ(ArgumentTextOf(GetParam().commandLine), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgumentTextTest,
    ::testing::Values(
        CommandLineCase{"Orvane.exe", ""},
        CommandLineCase{"Orvane.exe -S -E", "-S -E"},
        CommandLineCase{"\"C:\\Program Files\\Orvane.exe\" -S  -M ", "-S  -M "},
        CommandLineCase{"\"C:\\Program Files\\Orvane.exe\"-S", "-S"},
        CommandLineCase{"C:\\Orvane\\Orvane.exe\t/R:D", "/R:D"},
        CommandLineCase{"\"unterminated -S", ""}, CommandLineCase{"", ""}));

}  // namespace
}  // namespace orvane
