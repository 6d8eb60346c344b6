#include "DataDrive.h"

#include <fstream>
#include <sstream>

std::string ChooseDataDrive(const std::vector<DriveInfo>& drives, const std::string& systemDrive,
                            const std::string& fallback) {
    std::string candidate;
    for (const DriveInfo& drive : drives) {
        if (drive.type == DriveType::CdRom || drive.type == DriveType::Unknown)
            continue;
        candidate = drive.name;
        if (drive.name != systemDrive)
            break;
    }
    return candidate.empty() ? fallback : candidate;
}

#ifndef _WIN32
std::vector<DriveInfo> ListDrives() {
    std::vector<DriveInfo> drives{{"/", DriveType::Fixed}};
    std::ifstream mounts("/proc/self/mounts");
    std::string line;
    while (std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string source, point, type;
        fields >> source >> point >> type;
        if (point == "/" || source.rfind("/dev/", 0) != 0)
            continue;
        DriveType kind = type == "iso9660" || type == "udf" ? DriveType::CdRom : DriveType::Fixed;
        drives.push_back({point, kind});
    }
    return drives;
}
#endif
