#include "tests/support/HiveFixtures.h"

#include "core/store/SqliteHive.h"

#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#ifdef _WIN32

bool HiveLockHolder::Available() { return false; }
HiveLockHolder::HiveLockHolder(const std::string&, Lock) {}
HiveLockHolder::~HiveLockHolder() = default;
bool HiveLockHolder::Release() { return false; }

#else

bool HiveLockHolder::Available() { return true; }

HiveLockHolder::HiveLockHolder(const std::string& file, Lock lock) {
    int ready[2], release[2];
    if (pipe(ready) != 0)
        return;
    if (pipe(release) != 0) {
        close(ready[0]);
        close(ready[1]);
        return;
    }
    pid = fork();
    if (pid == 0) {
        close(ready[0]);
        close(release[1]);
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_busy_timeout(db, 5000);
        const char* take = lock == Lock::Write
                               ? "BEGIN IMMEDIATE; INSERT INTO keys(parent, name, fold) VALUES(1, 'Held', 'held');"
                               : "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                                 "INSERT INTO keys(parent, name, fold) VALUES(1, 'Held', 'held');";
        char byte = sqlite3_exec(db, take, nullptr, nullptr, nullptr) == SQLITE_OK ? 1 : 0;
        (void)!write(ready[1], &byte, 1);
        (void)!read(release[0], &byte, 1); // returns when released or when the test process is gone
        int rc = sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(rc == SQLITE_OK ? 0 : 1);
    }
    close(ready[1]);
    close(release[0]);
    releaseFd = release[1];
    char byte = 0;
    held = pid > 0 && read(ready[0], &byte, 1) == 1 && byte == 1;
    close(ready[0]);
}

HiveLockHolder::~HiveLockHolder() {
    (void)Release();
}

bool HiveLockHolder::Release() {
    if (pid <= 0)
        return false;
    close(releaseFd);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

#endif
