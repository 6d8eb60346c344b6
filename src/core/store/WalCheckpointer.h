#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct sqlite3;

// Copies a hive's write-ahead log back into its file on a thread of its own, through a
// connection of its own. Done inside a commit, as SQLite does by default, the copy and its
// flush to disk can hold the committing thread (the window's) for a hundred milliseconds and
// more while the disk is busy. A passive checkpoint never waits for the writer nor stops it.
class WalCheckpointer {
public:
    // Pages in the log beyond which a checkpoint is asked for: SQLite's own default.
    static constexpr int kPages = 1000;

    explicit WalCheckpointer(std::string hiveFile);
    // Waits for a checkpoint under way and closes the connection, so the hive's own connection
    // can be the last and fold the log in when it closes.
    ~WalCheckpointer();
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    // Makes the hive's connection hand its checkpoints to this one.
    void Attach(sqlite3* hiveDb);

private:
    static int OnCommit(void* self, sqlite3* db, const char* schema, int pages);
    void Request();
    void Run();

    std::string file;
    std::mutex lock;
    std::condition_variable wake;
    bool wanted = false;
    bool stopping = false;
    std::thread worker; // started at the first request: most hives never need one
};
