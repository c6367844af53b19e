#include "report/report_file.h"

#include <cstdio>

#include "core/system_locations.h"

namespace orvane {
namespace {

const char kLineEnd[] = "\r\n";

// The date and the time are read one after the other, date first.
std::string Header(Clock& clock) {
  std::string date = clock.ShortDate(clock.Now());
  return date + " - " + clock.LongTime(clock.Now());
}

}  // namespace

std::string MonthStamp(const LocalTime& t) {
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%02d%04d", t.month, t.year);
  return stamp;
}

std::string ReportPath(const Services& services) {
  return WindowsDir(services) + "\\DefragReport" +
         MonthStamp(services.clock.Now()) + ".txt";
}

bool ReportExists(const Services& services) {
  return services.files.IsOrdinaryFile(ReportPath(services));
}

void AppendRunRecord(const Services& services,
                     const std::vector<std::string>& lines) {
  std::string record = Header(services.clock) + kLineEnd;
  for (const std::string& line : lines) record += line + kLineEnd;
  record += kLineEnd;
  services.text.Append(ReportPath(services), record);
}

void AppendErrorTrailer(const Services& services, std::int32_t number,
                        const std::string& description) {
  std::string trailer = Header(services.clock) + kLineEnd;
  trailer += "ERROR!! #" + std::to_string(number) + kLineEnd;
  trailer += description + kLineEnd + kLineEnd;
  services.text.Append(ReportPath(services), trailer);
}

}  // namespace orvane
