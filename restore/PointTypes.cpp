#include "restore/PointTypes.h"

#include <array>

namespace restore {

std::string typeText(long long type) {
    static const std::array<const char*, 15> texts{"0 [APPLICATION INSTALL]",
                                                   "1 [APPLICATION UNINSTALL]",
                                                   "2 [DESKTOP SETTINGS]",
                                                   "3 [ACCESSIBILITY SETTINGS]",
                                                   "4 [OUTLOOK EXPRESS SETTINGS]",
                                                   "5 [APPLICATION RUN]",
                                                   "6 [RESTORE]",
                                                   "7 [CHECKPOINT]",
                                                   "8 [WINDOWS SHUTDOWN]",
                                                   "9 [WINDOWS BOOT]",
                                                   "10 [DEVICE DRIVE INSTALL]",
                                                   "11 [FIRST RUN]",
                                                   "12 [MODIFY SETTINGS]",
                                                   "13 [CANCELLED OPERATION]",
                                                   "14 [BACKUP RECOVERY]"};
    if (type < 0 || type >= static_cast<long long>(texts.size()))
        return "UNKNOWN";
    return texts[static_cast<size_t>(type)];
}

} // namespace restore
