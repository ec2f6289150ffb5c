// delete: by sequence number or by age, never the newest points the caller keeps nor the last.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/PointText.h"
#include "cli/Session.h"
#include "restore/PointRemoval.h"

#include <optional>

namespace cli {

namespace {

struct Request {
    std::vector<long long> numbers;
    std::optional<std::int64_t> days;
    std::size_t keep = 1;
};

// The request, or the usage error said.
std::optional<Request> readRequest(Session& s, const Arguments& a) {
    const auto usage = [&s](const char* key, const std::string& value) {
        s.err(s.text(key, {value}));
        return std::nullopt;
    };
    Request r;
    for (const std::string& value : a.values) {
        const auto n = parseCount(value, 0xFFFFFFFFull);
        if (!n)
            return usage("ErreurNumero", value);
        r.numbers.push_back(static_cast<long long>(*n));
    }
    if (const auto olderThan = a.value("--older-than"); olderThan && !(r.days = parseDays(*olderThan)))
        return usage("ErreurValeur", "--older-than");
    if (const auto keep = a.value("--keep")) {
        const auto n = parseCount(*keep, 1000000);
        if (!n)
            return usage("ErreurValeur", "--keep");
        r.keep = static_cast<std::size_t>(*n);
    }
    if (r.numbers.empty() == !r.days.has_value())
        return usage("ErreurSupprimer", "");
    return r;
}

// Why a point stays, as --json names it, and as the user reads it.
const char* reasonName(const restore::Decision& d, std::size_t keep) {
    switch (d.verdict) {
    case restore::Verdict::Kept:
        return keep == 1 ? "newest" : "among_newest";
    case restore::Verdict::LastPoint:
        return "last_point";
    case restore::Verdict::NoNumber:
        return "no_sequence_number";
    default:
        return "";
    }
}

std::string reasonText(Session& s, const restore::Decision& d, std::size_t keep) {
    const std::string number = std::to_string(d.sequence);
    switch (d.verdict) {
    case restore::Verdict::Kept:
        return keep == 1 ? s.text("PointPlusRecent", {number})
                         : s.text("PointGarde", {number, std::to_string(keep)});
    case restore::Verdict::LastPoint:
        return s.text("PointDernier", {number});
    case restore::Verdict::NoNumber:
        return s.text("PointSansNumero") + " " + d.point->entry;
    case restore::Verdict::Unknown:
        return s.text("PointInconnu", {number});
    case restore::Verdict::Remove:
        break;
    }
    return "";
}

// What the command did, for --json.
struct Report {
    std::vector<std::string> planned, removed, refused, kept, notFound;
    bool dryRun = false;

    std::string json() const {
        return json::object({{"planned", json::array(planned)},
                             {"removed", json::array(removed)},
                             {"refused", json::array(refused)},
                             {"kept", json::array(kept)},
                             {"not_found", json::array(notFound)},
                             {"dry_run", dryRun ? "true" : "false"}});
    }
};

} // namespace

int deleteCommand(Session& s, const Arguments& a) {
    const auto request = readRequest(s, a);
    if (!request)
        return usageError;
    if (s.refuseUnlessOn())
        return serviceOff;
    const auto points = s.points();
    const std::size_t keep = request->keep;
    const auto plan = request->days ? restore::planByAge(points, s.platform.process.unixSeconds(),
                                                         *request->days * 86400, keep)
                                    : restore::planByNumber(points, request->numbers, keep);
    Report report;
    report.dryRun = a.has("--dry-run");
    std::vector<const restore::Decision*> going, staying;
    for (const auto& d : plan) {
        if (d.verdict == restore::Verdict::Remove) {
            going.push_back(&d);
        } else if (d.verdict == restore::Verdict::Unknown) {
            report.notFound.push_back(std::to_string(d.sequence));
            staying.push_back(&d);
        } else {
            auto members = pointMembers(*d.point);
            members.emplace_back("reason", json::quoted(reasonName(d, keep)));
            report.kept.push_back(json::object(members));
            staying.push_back(&d);
        }
    }
    const auto finish = [&](int code) {
        if (a.json)
            s.out(report.json());
        return code;
    };

    // Asked by number, every number must be one that may go: nothing is deleted otherwise.
    if (!request->days && !staying.empty()) {
        for (const auto* d : staying)
            s.err(reasonText(s, *d, keep));
        return finish(report.notFound.empty() ? failed : noSuchPoint);
    }
    for (const auto* d : going)
        report.planned.push_back(pointJson(*d->point));
    if (!a.json) {
        for (const auto* d : staying)
            s.out(reasonText(s, *d, keep));
        if (going.empty())
            s.out(s.text("RienASupprimer"));
        else
            s.out(s.text("ASupprimer"));
        for (const auto* d : going)
            s.out(s.pointLine(*d->point));
        if (report.dryRun && !going.empty())
            s.out(s.text("EssaiSeulement"));
    }
    if (going.empty() || report.dryRun)
        return finish(done);
    if (!a.has("--yes")) {
        s.err(s.text("AjouterOui"));
        return finish(notConfirmed);
    }
    int code = done;
    for (const auto* d : going) {
        const std::string number = std::to_string(d->sequence);
        // The plan holds only points the service can name: never 0.
        if (restore::removePoint(s.platform.systemRestore, *restore::serviceNumber(d->sequence))) {
            report.removed.push_back(number);
            if (!a.json)
                s.out(s.text("PointSupprime", {number}));
        } else {
            report.refused.push_back(number);
            s.err(s.text("SuppressionRefusee", {number}));
            code = serviceRefused;
        }
    }
    return finish(code);
}

} // namespace cli
