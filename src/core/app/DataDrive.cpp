#include "core/app/DataDrive.h"

#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

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

namespace {

bool UnderBoot(const std::string& point) { return point == "/boot" || point.rfind("/boot/", 0) == 0; }

bool HasOption(const std::string& options, const std::string& wanted) {
    std::istringstream list(options);
    std::string option;
    while (std::getline(list, option, ','))
        if (option == wanted)
            return true;
    return false;
}

// The kernel writes blanks, tabs, newlines and backslashes in names as three octal digits.
std::string DecodeMountName(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const std::string digits = text.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::vector<DriveInfo> DrivesFromMounts(const std::vector<MountEntry>& mounts) {
    std::vector<DriveInfo> drives;
    for (size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& mount = mounts[i];
        // A later mount at the same point hides this one.
        bool hidden = false;
        for (size_t later = i + 1; later < mounts.size() && !hidden; ++later)
            hidden = mounts[later].point == mount.point;
        if (hidden || mount.readOnly || !mount.blockDevice || !mount.writable || UnderBoot(mount.point))
            continue;
        const DriveType kind = mount.type == "iso9660" || mount.type == "udf" ? DriveType::CdRom : DriveType::Fixed;
        if (mount.point == "/")
            drives.insert(drives.begin(), {mount.point, kind});
        else
            drives.push_back({mount.point, kind});
    }
    return drives;
}

std::vector<MountEntry> ParseMountTable(const std::string& table,
                                        const std::function<bool(const std::string&)>& isBlockDevice,
                                        const std::function<bool(const std::string&)>& isWritable) {
    std::vector<MountEntry> mounts;
    std::istringstream lines(table);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source, point, type, options;
        if (!(fields >> source >> point >> type >> options))
            continue;
        MountEntry entry;
        entry.source = DecodeMountName(source);
        entry.point = DecodeMountName(point);
        entry.type = type;
        entry.readOnly = HasOption(options, "ro");
        entry.blockDevice = isBlockDevice(entry.source);
        entry.writable = !entry.readOnly && isWritable(entry.point);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

#ifndef _WIN32
std::vector<DriveInfo> ListDrives() {
    std::ifstream file("/proc/self/mounts");
    std::stringstream table;
    table << file.rdbuf();
    auto isBlockDevice = [](const std::string& source) {
        struct stat info {};
        return stat(source.c_str(), &info) == 0 && S_ISBLK(info.st_mode);
    };
    auto isWritable = [](const std::string& point) { return access(point.c_str(), W_OK) == 0; };
    return DrivesFromMounts(ParseMountTable(table.str(), isBlockDevice, isWritable));
}
#endif
