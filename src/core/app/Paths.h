#pragma once

#include <string>

// Where the program finds its hives and folders. Each can be redirected through the
// environment, so tests never touch the real user's files:
//   LUMETRA_USER_HIVE     the current user's hive file (default ~/.config/Vessory/user.hive)
//   LUMETRA_MACHINE_HIVE  the local-machine hive, read only (default /etc/Vessory/machine.hive)
//   LUMETRA_WINDOWS_DIR   the system folder holding "Orbisk.ini" (default: the Windows folder on
//                         Windows, /etc/ elsewhere)
//   LUMETRA_PROGRAM_DIR   the program's folder (default: the executable's folder)
//   LUMETRA_DATA_DRIVE    the data drive (default: chosen from the mounted file systems)
std::string UserHivePath();
std::string MachineHivePath();
std::string WindowsDir();
std::string ProgramDirOverride(); // empty when not redirected
std::string DataDriveOverride();  // empty when not redirected

// Joins a folder and a name with exactly one separator.
std::string JoinPath(const std::string& folder, const std::string& name);
