// list and create.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/PointText.h"
#include "cli/Session.h"
#include "restore/NewPoint.h"
#include "restore/TemporaryFiles.h"

#include <optional>

namespace cli {

namespace {

// The point the service just made: the one of that number, or the newest where the service does
// not report numbers. None when the list cannot be read: the point exists all the same.
std::optional<restore::ListedPoint> madePoint(Session& s, long long number) {
    try {
        std::optional<restore::ListedPoint> found;
        for (const auto& p : s.points())
            if (number == 0 ? !found || p.sequence > found->sequence : p.sequence == number)
                found = p;
        return found;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

int listCommand(Session& s, const Arguments& a) {
    if (!a.values.empty()) {
        s.err(s.text("ErreurArgument", {a.values.front()}));
        return usageError;
    }
    if (s.refuseWhenOff())
        return serviceOff;
    const auto points = s.points();
    if (!a.json) {
        for (const auto& p : points)
            s.out(s.pointLine(p));
        return done;
    }
    std::string text = "[";
    for (std::size_t i = 0; i < points.size(); ++i)
        text += (i ? ",\n  " : "\n  ") + pointJson(points[i]);
    s.out(text + (points.empty() ? "]" : "\n]"));
    return done;
}

int createCommand(Session& s, const Arguments& a) {
    if (a.values.size() != 1) {
        s.err(s.text("ErreurTitre"));
        return usageError;
    }
    const std::string& title = a.values.front();
    if (const std::size_t length = restore::titleLength(title); length > restore::maxTitleLength) {
        s.err(s.text("ErreurTitreLong", {std::to_string(length)}));
        return usageError;
    }
    if (s.refuseUnlessOn())
        return serviceOff;
    if (restore::systemDriveLow(s.platform.files, s.systemDrive)) {
        s.err(s.text("Message2"));
        return lowSpace;
    }
    platform::StateMgrStatus status;
    if (!restore::createPoint(s.platform.systemRestore, title, &status)) {
        s.err(s.text("Message1"));
        s.err(s.text("Message12"));
        return serviceRefused;
    }
    const auto made = madePoint(s, status.sequenceNumber);
    const long long number = made ? made->sequence : status.sequenceNumber;
    if (a.json) {
        s.out(json::object({{"sequence_number", json::number(number ? std::optional(number) : std::nullopt)},
                            {"created", made ? json::quoted(isoCreated(*made)) : "null"},
                            {"description", json::quoted(title)}}));
        return done;
    }
    s.out(s.text("Message5"));
    s.out(s.text("Box3") + " " + std::to_string(number));
    return done;
}

} // namespace cli
