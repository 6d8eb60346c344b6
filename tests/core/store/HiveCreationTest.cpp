// A new hive appears under its name only when it is whole: other programs of the suite open
// the same file at any time and must never find it without its tables.
#include "core/store/SqliteHive.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

struct FolderEvent {
    std::string name;
    uint32_t mask;
};

// Records what happens in a folder; read back after the fact, so nothing races the writer.
class FolderWatch {
public:
    explicit FolderWatch(const std::string& folder) : fd(inotify_init1(IN_NONBLOCK)) {
        if (fd >= 0)
            inotify_add_watch(fd, folder.c_str(), IN_CREATE | IN_MODIFY | IN_MOVED_TO);
    }
    ~FolderWatch() {
        if (fd >= 0)
            close(fd);
    }
    bool Ok() const { return fd >= 0; }
    std::vector<FolderEvent> Events() {
        std::vector<FolderEvent> events;
        alignas(inotify_event) char buffer[16384];
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + got;) {
                auto* event = reinterpret_cast<inotify_event*>(p);
                events.push_back({event->len ? std::string(event->name) : std::string(), event->mask});
                p += sizeof(inotify_event) + event->len;
            }
        }
        return events;
    }

private:
    int fd;
};

struct CreationCase {
    const char* label;
    bool emptyFileFirst; // a zero-byte file is a hive nobody finished making
};

void PrintTo(const CreationCase& c, std::ostream* out) { *out << c.label; }

class HiveCreationTest : public ::testing::TestWithParam<CreationCase> {};

TEST_P(HiveCreationTest, TheHiveNeverAppearsWithoutItsTables) {
    TempDir dir;
    std::string file = dir.File("user.hive");
    if (GetParam().emptyFileFirst)
        std::ofstream(file).close();
    FolderWatch watch(dir.Path().string());
    ASSERT_TRUE(watch.Ok());

    auto hive = SqliteHive::Open(file);
    ASSERT_NE(hive, nullptr);
    std::vector<FolderEvent> events = watch.Events();

    // The file under the final name arrives in one step and is not written to while it is set up.
    int arrivals = 0;
    for (const FolderEvent& event : events) {
        if (event.name != "user.hive")
            continue;
        EXPECT_FALSE(event.mask & IN_MODIFY) << "the hive was written under its final name while being made";
        arrivals += (event.mask & (IN_CREATE | IN_MOVED_TO)) ? 1 : 0;
    }
    EXPECT_EQ(arrivals, 1);
    EXPECT_TRUE(hive->CreateKey("Software\\Vessory\\eTag", nullptr));

    // Nothing of the setting-up is left behind.
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"user.hive", "user.hive-shm", "user.hive-wal"}));
}

INSTANTIATE_TEST_SUITE_P(Creation, HiveCreationTest,
                         ::testing::Values(CreationCase{"NoFile", false}, CreationCase{"EmptyFile", true}),
                         CaseLabel{});

} // namespace
