#pragma once
#include <string>

namespace restore {

// The fixed text of a restore-point type; values outside 0 to 14 give "UNKNOWN".
std::string typeText(long long type);

// The type the service gives to cancelled operations; such points are never listed.
constexpr long long cancelledOperation = 13;

} // namespace restore
