#include "process/process_queries.h"

#include <gtest/gtest.h>

#include "fake_services.h"

namespace orvane {
namespace {

using fakes::FakeManagement;

const std::string kWatched = "\"C:\\WINDOWS\\system32\\defrag.exe\" C: -f";

FakeManagement::Process Defrag(const std::string& commandLine) {
  return {"defrag.exe", commandLine};
}

TEST(ProcessQueriesTest, QuestionsAnswerWhetherNotHowMany) {
  FakeManagement service;
  EXPECT_EQ(IsProcessRunning(service, "DfrgNtfs.exe"), kFalse);
  EXPECT_EQ(IsCommandRunning(service, "defrag.exe", kWatched), kFalse);
  service.processes = {{"DfrgNtfs.exe", ""}, {"DfrgNtfs.exe", ""},
                       {"DfrgNtfs.exe", ""}, Defrag(kWatched)};
  EXPECT_EQ(IsProcessRunning(service, "DfrgNtfs.exe"), kTrue);
  EXPECT_EQ(IsProcessRunning(service, "DfrgFat.exe"), kFalse);
  EXPECT_EQ(IsCommandRunning(service, "defrag.exe", kWatched), kTrue);
}

// The service compares without regard to letter case, as WMI does, but the
// whole command line: not a prefix of it.
TEST(ProcessQueriesTest, OnlyTheExactCommandLineIsTheWatchedRun) {
  FakeManagement service;
  service.processes = {
      Defrag("\"C:\\WINDOWS\\system32\\defrag.exe\" D: -f"),
      Defrag("C:\\WINDOWS\\system32\\defrag.exe C: -f"),
      Defrag("\"C:\\WINDOWS\\system32\\defrag.exe\" C: -a"),
      Defrag("\"C:\\WINDOWS\\system32\\defrag.exe\" C: -f -v")};
  EXPECT_EQ(IsCommandRunning(service, "defrag.exe", kWatched), kFalse);
  KillProcessByCommand(service, "defrag.exe", kWatched);
  for (const auto& p : service.processes) EXPECT_FALSE(p.ended);
}

TEST(ProcessQueriesTest, AQuoteInTheCommandLineStillFindsTheProcess) {
  const std::string odd = "\"C:\\Ad'min\\defrag.exe\" C: -f";
  FakeManagement service;
  service.processes = {Defrag(odd)};
  EXPECT_EQ(IsCommandRunning(service, "defrag.exe", odd), kTrue);
  KillProcessByCommand(service, "defrag.exe", odd);
  EXPECT_TRUE(service.processes[0].ended);
}

TEST(ProcessQueriesTest, EndingsEndEveryMatchEvenWhenOneRefuses) {
  FakeManagement service;
  service.processes = {{"DfrgFat.exe", ""},
                       {"DfrgNtfs.exe", "", false, /*refusesToEnd=*/true},
                       {"DfrgNtfs.exe", ""},
                       {"notepad.exe", ""}};
  KillEngines(service, "DfrgFat.exe", "DfrgNtfs.exe");
  EXPECT_TRUE(service.processes[0].ended);
  EXPECT_FALSE(service.processes[1].ended);
  EXPECT_TRUE(service.processes[2].ended);
  EXPECT_FALSE(service.processes[3].ended);
}

TEST(ProcessQueriesTest, AnUnavailableServiceAnswersNoAndEndsNothing) {
  FakeManagement service;
  service.unavailable = true;
  service.processes = {{"DfrgNtfs.exe", ""}, Defrag(kWatched)};
  EXPECT_EQ(IsProcessRunning(service, "DfrgNtfs.exe"), kFalse);
  EXPECT_EQ(IsCommandRunning(service, "defrag.exe", kWatched), kFalse);
  EXPECT_FALSE(IsDefragmenterBusy(service, kWatched));
  EndDefragmenters(service, nullptr, kWatched);
  EXPECT_FALSE(service.processes[0].ended);
  EXPECT_FALSE(service.processes[1].ended);
}

TEST(ProcessQueriesTest, BusyTestAlwaysAsksAllThree) {
  FakeManagement service;
  service.processes = {Defrag(kWatched)};
  EXPECT_TRUE(IsDefragmenterBusy(service, kWatched));
  ASSERT_EQ(service.queries.size(), 3u);
  EXPECT_NE(service.queries[0].find("'defrag.exe' And CommandLine"),
            std::string::npos);
  EXPECT_NE(service.queries[1].find("'DfrgNtfs.exe'"), std::string::npos);
  EXPECT_NE(service.queries[2].find("'DfrgFat.exe'"), std::string::npos);
}

TEST(ProcessQueriesTest, EndingAsksBeforeItEnds) {
  struct Case {
    std::vector<FakeManagement::Process> processes;
    std::size_t queries;  // questions plus terminations
  };
  const Case cases[] = {
      {{}, 3},
      {{Defrag(kWatched)}, 4},
      {{{"DfrgFat.exe", ""}}, 4},
      {{Defrag(kWatched), {"DfrgNtfs.exe", ""}}, 5},
      {{Defrag("\"C:\\WINDOWS\\system32\\defrag.exe\" D: -f")}, 3},
  };
  for (const Case& c : cases) {
    FakeManagement service;
    service.processes = c.processes;
    EndDefragmenters(service, nullptr, kWatched);
    EXPECT_EQ(service.queries.size(), c.queries);
    for (const auto& p : service.processes) {
      EXPECT_EQ(p.ended, p.commandLine.find(" D: ") == std::string::npos);
    }
  }
}

}  // namespace
}  // namespace orvane
