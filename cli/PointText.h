#pragma once
// A restore point as the commands write it: a line of the text list, or JSON members.
#include "lang/Language.h"
#include "restore/PointList.h"

#include <string>
#include <utility>
#include <vector>

namespace cli {

// "38<tab>(11/09/2006 09:35:12) Point de vérification système<tab>7 [CHECKPOINT]": the date as
// the list shows it, then the description escaped (\t, \n, \r, \\) so that one point stays one
// line of three fields and its text reads back exactly.
std::string pointLine(const restore::ListedPoint& p, const lang::DatePattern& date);

// The point's members: created, type, type_name, sequence_number, description.
std::vector<std::pair<std::string, std::string>> pointMembers(const restore::ListedPoint& p);
std::string pointJson(const restore::ListedPoint& p);

// Its creation time, local with the UTC offset: "2006-09-11T09:35:12+02:00".
std::string isoCreated(const restore::ListedPoint& p);

} // namespace cli
