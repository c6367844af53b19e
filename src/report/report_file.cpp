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

std::string RunRecord(Clock& clock, const std::vector<std::string>& lines) {
  std::string record = Header(clock) + kLineEnd;
  for (const std::string& line : lines) record += line + kLineEnd;
  return record + kLineEnd;
}

std::string ErrorTrailer(Clock& clock, std::int32_t number,
                         const std::string& description) {
  std::string trailer = Header(clock) + kLineEnd;
  trailer += "ERROR!! #" + std::to_string(number) + kLineEnd;
  return trailer + description + kLineEnd + kLineEnd;
}

void AppendToReport(const Services& services, const std::string& text) {
  services.text.Append(ReportPath(services), text);
}

void AppendRunRecord(const Services& services,
                     const std::vector<std::string>& lines) {
  AppendToReport(services, RunRecord(services.clock, lines));
}

void AppendErrorTrailer(const Services& services, std::int32_t number,
                        const std::string& description) {
  AppendToReport(services, ErrorTrailer(services.clock, number, description));
}

}  // namespace orvane
