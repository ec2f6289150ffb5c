#pragma once
// Dates as the list shows them: the short date pattern of the current language with its
// separator, then the time in hours, minutes and seconds unless it is exactly midnight.
#include "platform/SystemRestore.h"

#include <cstdint>
#include <string>

namespace restore {

// Pattern letters d, dd, M, MM, yy, yyyy (any case); "/" stands for the separator; text in single
// or double quotes is copied as it is; any other character is copied.
std::string formatDate(const std::string& pattern, const std::string& separator, const platform::LocalDateTime& t);

// The long time format: HH:mm:ss.
std::string formatTime(const platform::LocalDateTime& t);

// Date and time, or the date alone at 00:00:00.
std::string displayDate(const std::string& pattern, const std::string& separator, const platform::LocalDateTime& t);

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysSinceEpoch(int year, int month, int day);

// Seconds from 1970-01-01 00:00:00 to the fields of a date-time read as one clock's time: the
// difference of two such values is the offset between their clocks.
std::int64_t clockSeconds(const platform::LocalDateTime& t);

} // namespace restore
