#include "run/drive_line.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

struct LineCase {
  std::int32_t code;
  const char* line;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << "code " << c.code; }

class ExitCodeLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ExitCodeLineTest, IsTheDocumentedTextToTheByte) {
  EXPECT_EQ(ExitCodeLine("D:", GetParam().code), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    ExitCodes, ExitCodeLineTest,
    ::testing::Values(
        LineCase{0, "Drive D: Defrag completed successfully"},
        LineCase{1, "Drive D: Defrag aborted with error level 1 (defrag was "
                    "cancelled manually) "},
        LineCase{2, "Drive D: Defrag aborted with error level 2 (there was a "
                    "command line error. Check your command line for valid "
                    "switches and drives)"},
        LineCase{3, "Drive D: Defrag aborted with error level 3 (there was an "
                    "unknown error)"},
        LineCase{4, "Drive D: Defrag aborted with error level 4 (defrag could "
                    "not run due to insufficient memory resources)"},
        LineCase{5, "Drive D: Defrag aborted with error level 5 (general "
                    "error)"},
        LineCase{6, "Drive D: Defrag aborted with error level 6(System error: "
                    "either the account used to run defrag is not an "
                    "administrator, there is a problem loading the resource "
                    "DLL, or a defrag engine could not be accessed. Check for "
                    "proper user permissions and run Sfc.exe to validate "
                    "system files)"},
        LineCase{7, "Drive D: Defrag aborted with error level 7 (There is not "
                    "enough free space on the drive. Defrag needs 15% free "
                    "space to run on a volume)"},
        LineCase{8, "Drive D: Defrag aborted with an unknown error level: 8"},
        LineCase{-1, "Drive D: Defrag aborted with an unknown error level: -1"},
        LineCase{static_cast<std::int32_t>(0xC0000005),
                 "Drive D: Defrag aborted with an unknown error level: "
                 "-1073741819"}));

TEST(DriveLineTest, OtherOutcomes) {
  EXPECT_EQ(AbortedLine("C:"), "Drive C: Defrag aborted by user");
  EXPECT_EQ(RemovedLine("E:"), "Drive E: Defrag removed by switch");
  EXPECT_EQ(NotStartedLine("F:"), "Drive F: Defrag could not be started");
}

}  // namespace
}  // namespace orvane
