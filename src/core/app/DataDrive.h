#pragma once

#include <functional>
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

// One row of the mount table with what start-up learns about it.
struct MountEntry {
    std::string source;       // the device, "/dev/..." for a disk
    std::string point;        // where it is mounted
    std::string type;         // the file system type
    bool readOnly = false;    // mounted "ro"
    bool blockDevice = false; // source is a block device
    bool writable = false;    // this process may create files at point
};

// The mount points that can hold the data folder: writable, not read-only file systems of
// block devices, outside "/boot" (a UEFI machine mounts a root-owned "/boot/efi"), the root
// first, the rest in mount order. CD and DVD file systems are listed as CD-ROMs.
std::vector<DriveInfo> DrivesFromMounts(const std::vector<MountEntry>& mounts);

// Parses a mount table in the form of /proc/self/mounts (octal escapes such as "\040" in the
// names are decoded); isBlockDevice and isWritable answer for a source and a mount point.
std::vector<MountEntry> ParseMountTable(const std::string& table,
                                        const std::function<bool(const std::string&)>& isBlockDevice,
                                        const std::function<bool(const std::string&)>& isWritable);

// The local file systems of this machine: on Linux the acceptable mount points as above; on
// Windows the drive letters from C: on.
std::vector<DriveInfo> ListDrives();
