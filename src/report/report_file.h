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

// Appends a run record: a header (date " - " time), `lines` in order, an
// empty line. Throws Failure when the file cannot be written.
void AppendRunRecord(const Services& services,
                     const std::vector<std::string>& lines);

// Appends an error trailer: a header, "ERROR!! #<number>", the description
// and an empty line. Throws Failure when the file cannot be written.
void AppendErrorTrailer(const Services& services, std::int32_t number,
                        const std::string& description);

}  // namespace orvane
