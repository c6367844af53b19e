#include "run/drive_line.h"

namespace orvane {
namespace {

// What follows the exit code for the codes the defragmenter documents. The
// blanks are part of the texts: code 1's ends with one, code 6's lacks the
// leading one.
const char* const kExplanations[] = {
    "",
    " (defrag was cancelled manually) ",
    " (there was a command line error. Check your command line for valid "
    "switches and drives)",
    " (there was an unknown error)",
    " (defrag could not run due to insufficient memory resources)",
    " (general error)",
    "(System error: either the account used to run defrag is not an "
    "administrator, there is a problem loading the resource DLL, or a defrag "
    "engine could not be accessed. Check for proper user permissions and run "
    "Sfc.exe to validate system files)",
    " (There is not enough free space on the drive. Defrag needs 15% free "
    "space to run on a volume)",
};

std::string Line(const std::string& drivePath, const std::string& text) {
  return "Drive " + drivePath + text;
}

}  // namespace

std::string ExitCodeLine(const std::string& drivePath, std::int32_t exitCode) {
  const std::string code = std::to_string(exitCode);
  if (exitCode == 0) return Line(drivePath, " Defrag completed successfully");
  if (exitCode >= 1 && exitCode <= 7) {
    return Line(drivePath, " Defrag aborted with error level " + code +
                               kExplanations[exitCode]);
  }
  return Line(drivePath, " Defrag aborted with an unknown error level: " + code);
}

std::string AbortedLine(const std::string& drivePath) {
  return Line(drivePath, " Defrag aborted by user");
}

std::string RemovedLine(const std::string& drivePath) {
  return Line(drivePath, " Defrag removed by switch");
}

std::string NotStartedLine(const std::string& drivePath) {
  return Line(drivePath, " Defrag could not be started");
}

}  // namespace orvane
