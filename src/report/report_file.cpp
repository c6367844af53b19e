#include "report/report_file.h"

#include <string>

#include "core/system_locations.h"
#include "core/waits.h"

namespace orvane {
namespace {

const char kLineEnd[] = "\r\n";

// The date and the time are read one after the other, date first.
std::string Header(Clock& clock) {
  std::string date = clock.ShortDate(clock.Now());
  return date + " - " + clock.LongTime(clock.Now());
}

// `number` in at least `width` digits, zeros in front, as printf's "%0*d"
// writes the parts of a date (never negative). By hand: printf would link
// the C runtime's whole formatter, floating point included (some 20 KB).
std::string ZeroPadded(int number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string MonthStamp(const LocalTime& t) {
  return ZeroPadded(t.month, 2) + ZeroPadded(t.year, 4);
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

void AppendToReport(const Services& services, const std::string& text,
                    HeldReport held) {
  const std::string path = ReportPath(services);
  const bool atSessionEnd = held == HeldReport::kRetryOnceAtSessionEnd;
  const int retries = atSessionEnd ? 1 : kReportHeldMs / kReportRetryMs;
  for (int retry = 0;
       !services.text.Append(path, text, /*lastTry=*/retry == retries);
       ++retry) {
    if (atSessionEnd) {
      services.messages.Pause(kSessionEndReportRetryMs);
    } else {
      // Handled meanwhile: a query about the end of the session gets its
      // answer, and Windows does not list the program as blocking it.
      services.messages.HandleUntil(/*done=*/{}, kReportRetryMs);
    }
  }
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
