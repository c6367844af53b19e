#include "process/wql.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(WqlTest, QueryTextsAreSentAsTheyAlwaysWere) {
  EXPECT_EQ(ProcessNameQuery("DfrgNtfs.exe"),
            "Select Name from Win32_Process Where Name = 'DfrgNtfs.exe'");
  EXPECT_EQ(EitherNameQuery("DfrgFat.exe", "DfrgNtfs.exe"),
            "Select Name, Handle from Win32_Process Where Name = "
            "'DfrgFat.exe' Or  Name = 'DfrgNtfs.exe'");
  const std::string watched = "\"C:\\WINDOWS\\system32\\defrag.exe\" C: -f";
  EXPECT_EQ(CommandLineQuery("defrag.exe", watched, false),
            "Select Name, CommandLine from Win32_Process Where Name = "
            "'defrag.exe' And CommandLine = "
            "'\"C:\\\\WINDOWS\\\\system32\\\\defrag.exe\" C: -f'");
  EXPECT_EQ(CommandLineQuery("defrag.exe", watched, true),
            "Select Name, CommandLine, Handle from Win32_Process Where Name = "
            "'defrag.exe' And CommandLine = "
            "'\"C:\\\\WINDOWS\\\\system32\\\\defrag.exe\" C: -f'");
}

TEST(WqlTest, EscapesBackslashAndQuoteOnly) {
  EXPECT_EQ(WqlQuoted(""), "");
  EXPECT_EQ(WqlQuoted("O'Brien\\x"), "O\\'Brien\\\\x");
  EXPECT_EQ(WqlQuoted("\\\\"), "\\\\\\\\");
  EXPECT_EQ(WqlQuoted("\"a b\"%_[]"), "\"a b\"%_[]");
  EXPECT_EQ(ProcessNameQuery("it's.exe"),
            "Select Name from Win32_Process Where Name = 'it\\'s.exe'");
}

}  // namespace
}  // namespace orvane
