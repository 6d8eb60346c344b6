#pragma once

#include <string>
#include <vector>

enum class DriveType { Unknown, NoRootDir, Removable, Fixed, Remote, CdRom, RamDisk };

struct DriveInfo {
    std::string name; // "C:" on Windows, a mount point elsewhere
    DriveType type = DriveType::Unknown;
};

// The first acceptable drive other than the system drive, else the system drive itself when it
// is acceptable, else fallback. Acceptable means neither a CD-ROM nor of unknown type.
// drives come in order (C: upwards on Windows).
std::string ChooseDataDrive(const std::vector<DriveInfo>& drives, const std::string& systemDrive,
                            const std::string& fallback);

// The local file systems of this machine: on Linux the mount points of block devices in mount
// order, the root first; on Windows the drive letters from C: on.
std::vector<DriveInfo> ListDrives();
