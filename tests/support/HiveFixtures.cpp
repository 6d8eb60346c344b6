#include "tests/support/HiveFixtures.h"

#include "core/store/SqliteHive.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iterator>

namespace HiveFixtures {

bool MakeRegister(const std::string& file, int tags) {
    auto hive = SqliteHive::Open(file);
    if (!hive || !hive->BeginBatch())
        return false;
    bool ok = true;
    for (int i = 0; i < tags && ok; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "T%06d", i);
        std::string key = std::string(kRegisterKey) + "\\" + name;
        ok = hive->CreateKey(key, nullptr) && hive->SetValue(key, "LicNo", StringValue("PLATE-" + std::to_string(i))) &&
             hive->SetValue(key, "CarType", DwordValue(1 + i % 2));
    }
    return hive->EndBatch(ok) && ok;
}

bool DamageMiddle(const std::string& file) {
    std::fstream io(file, std::ios::in | std::ios::out | std::ios::binary);
    io.seekg(0, std::ios::end);
    long long size = io.tellg();
    const long long page = 4096;
    long long from = size * 2 / 5 / page * page;
    long long to = size * 3 / 5 / page * page;
    if (!io || to <= from)
        return false;
    io.seekp(from);
    std::string junk(static_cast<size_t>(to - from), '\xA5');
    io.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    return static_cast<bool>(io.flush());
}

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace HiveFixtures

namespace {

const char* LockName(HiveLockHolder::Lock lock) {
    return lock == HiveLockHolder::Lock::Write ? "write" : "exclusive";
}

// The peer's side: takes the lock, says whether it has it, and holds it until its input ends
// (released, or the test has gone).
int HoldLock(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return 64;
    sqlite3* db = nullptr;
    sqlite3_open(args[0].c_str(), &db);
    sqlite3_busy_timeout(db, 5000);
    const char* take = args[1] == LockName(HiveLockHolder::Lock::Write)
                           ? "BEGIN IMMEDIATE; INSERT INTO keys(parent, name, fold) VALUES(1, 'Held', 'held');"
                           : "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                             "INSERT INTO keys(parent, name, fold) VALUES(1, 'Held', 'held');";
    bool held = sqlite3_exec(db, take, nullptr, nullptr, nullptr) == SQLITE_OK;
    if (WriteToTest(held ? 1 : 0))
        while (ReadFromTest() >= 0) {
        }
    int rc = sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return held && rc == SQLITE_OK ? 0 : 1;
}

[[maybe_unused]] const bool holdLockRegistered = RegisterPeerRole("hold-hive-lock", HoldLock);

} // namespace

HiveLockHolder::HiveLockHolder(const std::string& file, Lock lock)
    : peer("hold-hive-lock", {file, LockName(lock)}), held(peer.Read() == 1) {}

HiveLockHolder::~HiveLockHolder() = default;

bool HiveLockHolder::Release() {
    return peer.Started() && peer.Wait() == 0;
}
