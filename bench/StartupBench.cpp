// Process start to the main window painted with its count line, at the sizes given (default
// 10,000, 100,000 and 1,000,000 tags): the real program started on a hive of that many tags
// (written through the bare C API), beside an empty Qt program's start to its first paint and
// a bare SQL join over the same file. Each start is timed three times; the median is shown.
#include "BareJoin.h"
#include "BenchSupport.h"
#include "core/store/SqliteHiveFile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// The register as the program keeps it: keys below "Software\Vessory\eTag", one per tag, with
// a plate, a type and some flags.
bool MakeHive(const std::string& file, int count) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(file.c_str(), &db) == SQLITE_OK && Exec(db, "PRAGMA journal_mode=WAL") &&
              Exec(db, "BEGIN") && Exec(db, kHiveSchema) &&
              Exec(db, "INSERT INTO keys(id, parent, name, fold) VALUES(2, 1, 'Software', 'software'), "
                       "(3, 2, 'Vessory', 'software\\vessory'), (4, 3, 'eTag', 'software\\vessory\\etag')");
    sqlite3_stmt* key = nullptr;
    sqlite3_stmt* value = nullptr;
    ok = ok &&
         sqlite3_prepare_v2(db, "INSERT INTO keys(parent, name, fold) VALUES(4, ?1, ?2)", -1, &key, nullptr) == 0 &&
         sqlite3_prepare_v2(db, "INSERT INTO vals(key, name, type, data) VALUES(?1, ?2, ?3, ?4)", -1, &value,
                            nullptr) == SQLITE_OK;
    auto put = [&](sqlite3_int64 id, const char* name, int type, const std::string& data) {
        sqlite3_bind_int64(value, 1, id);
        sqlite3_bind_text(value, 2, name, -1, SQLITE_STATIC);
        sqlite3_bind_int(value, 3, type);
        sqlite3_bind_blob(value, 4, data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
        const bool done = sqlite3_step(value) == SQLITE_DONE;
        sqlite3_reset(value);
        return done;
    };
    auto dword = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    for (int i = 0; ok && i < count; ++i) {
        char tag[32];
        std::snprintf(tag, sizeof tag, "E2003412B8020115%08X", i);
        const std::string fold = "software\\vessory\\etag\\" + Lower(tag);
        sqlite3_bind_text(key, 1, tag, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(key, 2, fold.c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(key) == SQLITE_DONE;
        sqlite3_reset(key);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        ok = ok && put(id, "LicNo", 1, "P" + std::to_string(i)) && put(id, "CarType", 4, dword(1 + i % 2)) &&
             (i % 4 != 0 || put(id, "Mark", 4, dword(1))) && (i % 8 != 0 || put(id, "UseOK", 4, dword(1)));
    }
    sqlite3_finalize(key);
    sqlite3_finalize(value);
    ok = ok && Exec(db, "COMMIT");
    return sqlite3_close(db) == SQLITE_OK && ok;
}

// Processor time of the ended children so far: on a shared machine it says what the start
// cost apart from the waits for a core.
double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

struct Start {
    double ms = -1; // to the stamp
    double cpuMs = -1;
};

// From just before the start to the stamp the program prints after its first paint; -1 when
// none came within a minute. The program is then ended.
Start StartToPaint(const QString& program, const QProcessEnvironment& environment) {
    const double cpuBefore = ChildrenCpuMs();
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardErrorFile(QProcess::nullDevice());
    const auto start =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    process.start(program, {});
    long long painted = -1;
    while (painted < 0 && process.waitForReadyRead(60000)) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith("first paint "))
                painted = line.mid(12).toLongLong();
        }
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(10000);
    }
    if (painted < 0)
        return {};
    return {static_cast<double>(painted - start) / 1e6, ChildrenCpuMs() - cpuBefore};
}

Start MedianOfThree(const QString& program, const QProcessEnvironment& environment) {
    Start starts[3];
    for (Start& one : starts)
        one = StartToPaint(program, environment);
    std::sort(std::begin(starts), std::end(starts), [](const Start& a, const Start& b) { return a.ms < b.ms; });
    return starts[0].ms < 0 ? Start{} : starts[1];
}

int Run(int count) {
    using bench::Time;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("lumetra-start-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir / "run");
    fs::create_directories(dir / "drive");
    fs::create_directories(dir / "windows");
    const std::string hive = (dir / "user.hive").string();
    auto start = bench::Clock::now();
    if (!MakeHive(hive, count)) {
        std::printf("%9d  WRONG: the hive could not be written\n", count);
        fs::remove_all(dir);
        return 1;
    }
    Time(count, "fixture: hive written through the C API", bench::MsSince(start), "");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    auto set = [&environment](const char* name, const fs::path& value) {
        environment.insert(QString::fromLatin1(name), QString::fromStdString(value.string()));
    };
    set("LUMETRA_USER_HIVE", hive);
    set("LUMETRA_MACHINE_HIVE", dir / "machine.hive");
    set("LUMETRA_WINDOWS_DIR", dir / "windows");
    set("LUMETRA_RUNTIME_DIR", dir / "run");
    set("LUMETRA_DATA_DRIVE", dir / "drive");
    environment.insert(QStringLiteral("LUMETRA_DISCOVERY_TARGET"), QStringLiteral("127.0.0.1:9"));
    environment.insert(QStringLiteral("LUMETRA_DISCOVERY_LOOPBACK_ONLY"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LUMETRA_PAINT_STAMP"), QStringLiteral("1"));

    const Start program = MedianOfThree(QStringLiteral(LUMETRA_PATH), environment);
    const Start empty = MedianOfThree(QStringLiteral(EMPTY_WINDOW_PATH), environment);
    long long values = 0;
    const double joinMs = bench::BareJoinMs(hive, values);
    Time(count, "process start to main window painted with count line", program.ms, "target < 2500 ms");
    Time(count, "  of which processor time (to the program's end)", program.cpuMs, "");
    Time(count, "  baseline: empty Qt program, start to first paint", empty.ms, "");
    Time(count, "  baseline: bare SQL join of keys and values", joinMs, "");
    fs::remove_all(dir);
    return program.ms > 0 && empty.ms > 0 && joinMs > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<int> sizes = bench::Sizes(argc, argv);
    int status = 0;
    if (bench::RunSizesApart(argv[0], sizes, status))
        return status;
    QCoreApplication app(argc, argv);
    return Run(sizes.front());
}
