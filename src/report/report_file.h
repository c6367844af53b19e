#pragma once
// The monthly report: DefragReportMMYYYY.txt in the Windows directory,
// appended to, never rewritten. Every function computes the path afresh, so
// a pass that ends in a new month writes into the new month's file.

#include <cstdint>
#include <string>
#include <vector>

#include "core/context.h"
#include "platform/clock.h"

namespace orvane {

// "MMYYYY": the month, then the year.
std::string MonthStamp(const LocalTime& t);

// The current month's report file.
std::string ReportPath(const Services& services);

// Whether the current month's report exists as an ordinary file.
bool ReportExists(const Services& services);

// A run record: a header (date " - " time), `lines` in order, an empty
// line, each ended with CR LF.
std::string RunRecord(Clock& clock, const std::vector<std::string>& lines);

// An error trailer: a header, "ERROR!! #<number>", the description and an
// empty line.
std::string ErrorTrailer(Clock& clock, std::int32_t number,
                         const std::string& description);

// How long an append waits for a report that another program holds open
// (core/waits.h).
enum class HeldReport {
  kWaitHandlingMessages,  // up to kReportHeldMs; handlers run meanwhile
  kRetryOnceAtSessionEnd,  // inside WM_ENDSESSION: one short retry
};

// Appends `text` to the current month's report. Throws Failure when the
// file cannot be written.
void AppendToReport(const Services& services, const std::string& text,
                    HeldReport held = HeldReport::kWaitHandlingMessages);

// Appends RunRecord(lines), or ErrorTrailer(number, description).
void AppendRunRecord(const Services& services,
                     const std::vector<std::string>& lines);
void AppendErrorTrailer(const Services& services, std::int32_t number,
                        const std::string& description);

}  // namespace orvane
