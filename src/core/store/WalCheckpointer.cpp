#include "core/store/WalCheckpointer.h"

#include <sqlite3.h>

WalCheckpointer::WalCheckpointer(std::string hiveFile) : file(std::move(hiveFile)) {}

WalCheckpointer::~WalCheckpointer() {
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    wake.notify_one();
    if (worker.joinable())
        worker.join();
}

void WalCheckpointer::Attach(sqlite3* hiveDb) { sqlite3_wal_hook(hiveDb, &WalCheckpointer::OnCommit, this); }

int WalCheckpointer::OnCommit(void* self, sqlite3*, const char*, int pages) {
    if (pages >= kPages)
        static_cast<WalCheckpointer*>(self)->Request();
    return SQLITE_OK;
}

void WalCheckpointer::Request() {
    {
        std::lock_guard<std::mutex> hold(lock);
        wanted = true;
        if (!worker.joinable())
            worker = std::thread([this] { Run(); });
    }
    wake.notify_one();
}

void WalCheckpointer::Run() {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        db = nullptr; // the log then waits for the hive's own connection to close
    }
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        wake.wait(hold, [this] { return wanted || stopping; });
        if (stopping)
            break;
        wanted = false;
        hold.unlock();
        // Busy (another checkpoint, a reader in the way) only means later.
        if (db)
            (void)sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        hold.lock();
    }
    hold.unlock();
    sqlite3_close(db);
}
