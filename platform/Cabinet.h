#pragma once
#include <string>

namespace platform {

class Cabinet {
public:
    virtual ~Cabinet() = default;
    // Unpacks every file of a Microsoft cabinet into a folder (created when missing). An entry
    // whose name would land outside the folder is refused and nothing is written for it.
    // Throws platform::Error naming the cabinet when it is unreadable or holds such an entry.
    virtual void extract(const std::string& cabinetPath, const std::string& folder) = 0;
};

} // namespace platform
