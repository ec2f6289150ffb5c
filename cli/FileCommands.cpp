// files and recover: the file changes a point's own logs hold, and one file taken back from it.
#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/Session.h"
#include "platform/Text.h"
#include "restore/FileRecovery.h"
#include "restore/SavedFiles.h"

#include <optional>

namespace cli {

namespace {

// The point named by the first value, its logs read and their problems said on standard error.
// Nothing, with the exit code in `code`, when the command line or the point is wrong.
std::optional<restore::PointFiles> readPoint(Session& s, const Arguments& a, std::size_t values, int& code) {
    code = usageError;
    if (a.values.size() > values) {
        s.err(s.text("ErreurArgument", {a.values[values]}));
        return std::nullopt;
    }
    const auto number = a.values.empty() ? std::nullopt : parseCount(a.values.front(), 0xFFFFFFFFull);
    if (!number || a.values.size() < values) {
        s.err(s.text("ErreurNumero", {a.values.empty() ? "" : a.values.front()}));
        return std::nullopt;
    }
    code = serviceOff;
    if (s.refuseWhenOff())
        return std::nullopt;
    bool listed = false;
    for (const auto& p : s.points())
        listed = listed || p.sequence == static_cast<long long>(*number);
    code = noSuchPoint;
    if (!listed) {
        s.err(s.text("PointInconnu", {a.values.front()}));
        return std::nullopt;
    }
    std::vector<std::string> roots;
    for (const auto& drive : s.platform.systemRestore.drives())
        roots.push_back(drive.root);
    auto files = restore::readPointFiles(s.platform.restoreStore, roots, "RP" + std::to_string(*number));
    for (const auto& problem : files.problems)
        s.err(s.text(problem.key, {problem.file, std::to_string(problem.offset)}));
    code = files.problems.empty() ? done : failed;
    return files;
}

std::string orNull(const std::string& text) {
    return text.empty() ? "null" : json::quoted(text);
}

std::string changeJson(const restore::FileChange& c) {
    return json::object(
        {{"sequence", json::number(c.sequence)},
         {"operation", json::quoted(restore::operationName(c.type))},
         {"path", json::quoted(c.path)},
         {"new_path", orNull(c.secondPath)},
         {"copy", orNull(c.copyName)},
         {"copy_bytes", c.copySize ? json::number(static_cast<long long>(*c.copySize)) : "null"},
         {"process", json::quoted(c.process)}});
}

std::string changeLine(Session& s, const restore::FileChange& c) {
    const std::string size = c.copyName.empty() ? "-" : c.copySize ? std::to_string(*c.copySize) : "?";
    return c.path + (c.secondPath.empty() ? "" : " -> " + c.secondPath) + "\t" +
           s.text(restore::operationKey(c.type)) + "\t" + size + "\t" + c.process;
}

// The change of that path with the copy kept earliest: the file as it stood at the point.
const restore::FileChange* changeOf(const std::vector<restore::FileChange>& changes,
                                    const std::string& path) {
    const restore::FileChange* found = nullptr;
    for (const auto& c : changes)
        if (platform::text::equalsIgnoreCase(c.path, path) &&
            (!found || (found->copyName.empty() && !c.copyName.empty())))
            found = &c;
    return found;
}

} // namespace

int filesCommand(Session& s, const Arguments& a) {
    int code = done;
    const auto files = readPoint(s, a, 1, code);
    if (!files)
        return code;
    const auto sorted = restore::sortedByPath(files->changes);
    if (!a.json) {
        for (const auto& c : sorted)
            s.out(changeLine(s, c));
        return code;
    }
    std::vector<std::string> items;
    for (const auto& c : sorted)
        items.push_back(changeJson(c));
    s.out(json::array(items));
    return code;
}

int recoverCommand(Session& s, const Arguments& a) {
    const auto to = a.value("--to");
    if (to.has_value() == a.has("--in-place")) {
        s.err(s.text("ErreurVersEnPlace"));
        return usageError;
    }
    int code = done;
    const auto files = readPoint(s, a, 2, code);
    if (!files)
        return code;
    const restore::FileChange* change = changeOf(files->changes, a.values[1]);
    if (!change) {
        s.err(s.text("ErreurFichierInconnu", {a.values.front(), a.values[1]}));
        return failed;
    }
    const bool yes = a.has("--yes"), dryRun = a.has("--dry-run") || !yes;
    auto& p = s.platform;
    const restore::Recovery r =
        to ? restore::saveCopy(p.files, p.restoreStore, *change, *to, yes, dryRun)
           : restore::putBack(p.files, p.restoreStore, *change, s.text("RecupMot"), dryRun);
    using Status = restore::Recovery::Status;
    const bool written = r.status == Status::Done && !dryRun;
    if (a.json)
        s.out(json::object(
            {{"path", json::quoted(change->path)},
             {"copy", orNull(change->copyName)},
             {"target", orNull(r.written)},
             {"kept_as", orNull(r.keptAs)},
             {"written", json::boolean(written)},
             {"refused", r.status == Status::Done ? "null" : json::quoted(s.text(r.key, {r.detail}))}}));
    if (r.status == Status::Refused) {
        s.err(s.text(r.key, {r.detail}));
        return failed;
    }
    if (written) {
        if (!a.json) {
            s.out(s.text(r.key, {r.detail}));
            if (!r.keptAs.empty())
                s.out(s.text("RecupGarde", {r.keptAs}));
        }
        return done;
    }
    if (!a.json) {
        if (!r.keptAs.empty())
            s.out(r.written + " -> " + r.keptAs);
        s.out(change->copyName + " -> " + r.written);
    }
    if (r.status == Status::AskOverwrite)
        s.err(s.text(r.key, {r.detail}));
    if (a.has("--dry-run")) {
        s.err(s.text("RecupEssai"));
        return done;
    }
    s.err(s.text("RecupAjouterOui"));
    return notConfirmed;
}

} // namespace cli
