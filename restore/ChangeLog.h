#pragma once
// The change log that the diagnostic tool packs as SR-ChgLog.LOG: 8-bit text, one record per line,
// each record a list of key=value fields separated by ",". The listing shows, for one restore
// point, the records of its first block (the records of a point stand together in the log).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

// The value of a field, reading the line from the position of its key (0-based): the text after
// the first "=" met from there (or right before it) up to the next "," or the end of the line. A
// "," met before any "=" gives an empty value; blanks stay part of the value.
std::string_view Remplace(std::string_view line, std::size_t position);

// The value of key in line, read from the key's first occurrence (case-sensitive). A key that
// does not occur reads from the start of the line, so it yields the value of the first field.
std::string_view fieldValue(std::string_view line, std::string_view key);

// The six memo lines of one record, converted from Windows-1252: an empty line, "- " and the
// drive, then "EventString = ", "Path1 = ", "Path2 = " and "Temp = " each with its value.
std::vector<std::string> recordLines(std::string_view line);

// The largest log the listing reads: it is read whole, and a larger one is far beyond what the
// diagnostic tool writes, so it is refused with a message rather than exhausting the memory.
inline constexpr unsigned long long maxChangeLogBytes = 256ull << 20;

// Hands each record of the point whose folder is pointFolder (such as "RP12", in the log's 8-bit
// text) to `listed`, in order: the records whose "RPDir" value equals it exactly, up to the first
// record of another point after them. Lines without "RPDir" are skipped and never end the block.
// Lines end at CR, LF or CR LF. The scan stops early when `listed` returns false.
void scanChangeLog(std::string_view log, std::string_view pointFolder,
                   const std::function<bool(std::string_view record)>& listed);

} // namespace restore
