#include "report/report_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "world.h"

namespace orvane {
namespace {

using fakes::World;

TEST(ReportFileTest, PathNamesMonthBeforeYearInTheWindowsDirectory) {
  World w;
  EXPECT_EQ(ReportPath(w.ctx.services), "C:\\WINDOWS\\DefragReport122026.txt");
  w.clock.now = {2027, 1, 31, 23, 59, 59};
  EXPECT_EQ(ReportPath(w.ctx.services), "C:\\WINDOWS\\DefragReport012027.txt");
  w.directories.windows = "";
  EXPECT_EQ(ReportPath(w.ctx.services), "\\DefragReport012027.txt");
}

TEST(ReportFileTest, FileNamesSortByMonthFirst) {
  std::vector<std::string> names = {MonthStamp({2026, 12, 1}),
                                    MonthStamp({2027, 1, 1}),
                                    MonthStamp({999, 3, 1})};
  EXPECT_EQ(names[0], "122026");
  EXPECT_EQ(names[1], "012027");
  EXPECT_EQ(names[2], "030999");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names.front(), "012027");
}

TEST(ReportFileTest, RecordsAndTrailersAreAppendedAsCrLfLines) {
  World w;
  const Services& svc = w.ctx.services;
  AppendRunRecord(svc, {});
  AppendRunRecord(svc, {"Drive C: Defrag completed successfully",
                        "Drive D: Defrag aborted with error level 1 (defrag "
                        "was cancelled manually) "});
  w.clock.now.hour = 13;
  AppendErrorTrailer(svc, -2147024891, "Access is denied.");
  EXPECT_EQ(w.Report(),
            "12/7/2026 - 6:46:13 AM\r\n"
            "\r\n"
            "12/7/2026 - 6:46:13 AM\r\n"
            "Drive C: Defrag completed successfully\r\n"
            "Drive D: Defrag aborted with error level 1 (defrag was cancelled "
            "manually) \r\n"
            "\r\n"
            "12/7/2026 - 1:46:13 PM\r\n"
            "ERROR!! #-2147024891\r\n"
            "Access is denied.\r\n"
            "\r\n");
  EXPECT_EQ(w.files.appends, 3);  // one write per record
}

// A report held open by another program is waited for up to 10 s, while
// messages are handled: a query about the end of the session is answered.
TEST(ReportFileTest, AReportHeldOpenIsWaitedForWithinItsLimit) {
  World w;
  w.files.locked.insert(World::kReport);
  w.messages.onMessage = [&] {
    if (w.messages.limits.size() == 3) w.files.locked.clear();
  };
  AppendToReport(w.ctx.services, "record\r\n");
  EXPECT_EQ(w.Report(), "record\r\n");
  EXPECT_EQ(w.messages.limits, std::vector<int>(3, 200));
  w.files.locked.insert(World::kReport);  // for good
  w.messages.onMessage = [] {};
  w.messages.limits.clear();
  EXPECT_THROW(AppendToReport(w.ctx.services, "lost\r\n"), Failure);
  EXPECT_EQ(w.messages.limits, std::vector<int>(50, 200));  // 10 s
}

TEST(ReportFileTest, TheMonthIsThatOfTheMomentOfWriting) {
  World w;
  AppendRunRecord(w.ctx.services, {"Drive C: Defrag completed successfully"});
  w.clock.now = {2027, 1, 1, 0, 0, 5};
  AppendRunRecord(w.ctx.services, {"Drive C: Defrag completed successfully"});
  EXPECT_EQ(w.files.contents["C:\\WINDOWS\\DefragReport012027.txt"],
            "1/1/2027 - 12:00:05 AM\r\n"
            "Drive C: Defrag completed successfully\r\n\r\n");
}

}  // namespace
}  // namespace orvane
