#pragma once
// What the details panel and the delete and roll-back buttons read of the selected point: its
// section of the point cache, named by the list entry.
#include "platform/Profile.h"
#include "platform/SystemRestore.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace restore {

// The labels' text at the moment of use: key and French default in, text out.
using Lookup = std::function<std::string(const std::string& key, const std::string& frenchDefault)>;

// The five lines of the details panel: the machine identifier, an empty line, then the point's
// folder, type and sequence number from its cache section (empty values when the section is gone).
std::vector<std::string> detailLines(const platform::IniFile& cache, const std::string& entry,
                                     const std::string& machineGuid, const Lookup& lookup);

// The sequence number stored for an entry, or nothing when its section has no number (the cache
// was deleted since the list was made, or the point came without one) or the stored text is not
// one the service can take (0 included).
std::optional<std::int32_t> sequenceNumber(const platform::IniFile& cache, const std::string& entry);

// Whether the service lists a point with that sequence number now (after it refused a request for
// it). Throws platform::Error when the service cannot be asked.
bool serviceHolds(platform::SystemRestore& service, std::int32_t sequenceNumber);

} // namespace restore
