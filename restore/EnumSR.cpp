// Filling the restore-point list and the point cache from the service.
#include "app/Unit1.h"
#include "platform/Text.h"
#include "restore/DisplayDate.h"
#include "restore/PointTypes.h"
#include "ui/Application.h"

#include <algorithm>
#include <cstdio>

namespace {

// The CIM date-time fields handed to the converter; they stay set from one point to the next,
// as the converter object is reused for the whole run.
struct CimFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, microseconds = 0, offset = 0;

    void set(const std::string& cim) {
        auto field = [&cim](size_t from, size_t length) {
            return static_cast<int>(platform::text::toInteger(from < cim.size() ? cim.substr(from, length) : ""));
        };
        year = field(0, 4);
        month = field(4, 2);
        day = field(6, 2);
        hour = field(8, 2);
        minute = field(10, 2);
        second = field(12, 2);
        microseconds = field(15, 6);
        offset = field(21, 4);
    }

    // yyyymmddHHMMSS from the fields as written, not converted to local time.
    std::string sortKey() const {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
        return buf;
    }
};

} // namespace

void TForm1::EnumSR() {
    const auto controls = mainControls();
    for (ui::Control* c : controls)
        c->setEnabled(false);
    Informations.clear();
    PointR.clear();
    app().processMessages();

    auto& service = platform.systemRestore;
    const std::vector<platform::WmiInstance> points = service.restorePoints();

    long long type = 0;
    long long sequence = 0;
    CimFields cim;
    for (const auto& point : points) {
        std::string name;
        for (const auto& property : point) {
            if (property.name == "CreationTime") {
                cim.set(property.value.asText());
                const platform::LocalDateTime local = service.toLocalTime(
                    cim.year, cim.month, cim.day, cim.hour, cim.minute, cim.second, cim.microseconds, cim.offset);
                name = "(" + restore::displayDate(dateFormat, dateSeparator, local) + ") ";
            } else if (property.name == "Description") {
                name += property.value.asText();
            } else if (property.name == "SequenceNumber") {
                sequence = property.value.asInteger();
            } else if (property.name == "RestorePointType") {
                type = property.value.asInteger();
            }
        }
        if (type == restore::cancelledOperation)
            continue;

        const std::string key = cim.sortKey();
        PointR.add(key);
        pointCache.writeString(name, "DirectoryName", "RP" + std::to_string(sequence));
        pointCache.writeString(name, "Type", restore::typeText(type));
        pointCache.writeString(name, "Number", std::to_string(sequence));
        pointCache.writeString(name, "Date", key);
        app().processMessages();
    }

    // Each section takes the place of the first provisional entry holding its sort key; the list
    // does not re-sort on insertion, so it ends in ascending date order.
    work = pointCache.sections();
    app().processMessages();
    for (const std::string& section : work) {
        const int index = PointR.indexOf(pointCache.readString(section, "Date", ""));
        if (index >= 0) {
            PointR.remove(index);
            PointR.insert(index, section);
        } else {
            PointR.insert(PointR.count(), section);
        }
    }
    work.clear();

    int widest = 0;
    for (const std::string& entry : PointR.items())
        widest = std::max(widest, app().backend().textWidth(PointR, entry + "x"));
    PointR.setHorizontalExtent(widest);

    if (PointR.count() > 0) {
        for (ui::Control* c : controls)
            c->setEnabled(true);
        Activer.setCaption(Lookup("Désactiver", "Désactiver la restauration système"));
    }
    app().processMessages();
    TrimWorkingSet();
}
