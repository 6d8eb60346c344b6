#pragma once

#include "tests/support/PeerProcess.h"

#include <string>

// Hive files for tests: a register of many tags, damage in the middle of a file, and another
// process that holds the hive's lock.
namespace HiveFixtures {

constexpr const char* kRegisterKey = "Software\\Vessory\\eTag";

// A closed hive (everything in the main file) with tags "T000000".. below the register key,
// each with a plate and a type.
bool MakeRegister(const std::string& file, int tags);
// Overwrites the pages in the middle fifth of the file, as a failing disk or a stray writer does.
bool DamageMiddle(const std::string& file);
std::string Bytes(const std::string& file);

} // namespace HiveFixtures

// A second process (the test program in a peer role) that holds a lock on the hive until
// released (or destroyed).
class HiveLockHolder {
public:
    enum class Lock {
        Write,     // a write transaction: other programs still read
        Exclusive, // exclusive locking mode: nobody else reads or writes
    };
    HiveLockHolder(const std::string& file, Lock lock);
    ~HiveLockHolder();
    HiveLockHolder(const HiveLockHolder&) = delete;
    HiveLockHolder& operator=(const HiveLockHolder&) = delete;

    // Whether the process took the lock.
    bool Held() const { return held; }
    // Lets go of the lock and waits for the process to end; true when it ended cleanly.
    bool Release();

private:
    PeerProcess peer;
    bool held = false;
};
