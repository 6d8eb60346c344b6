#include "core/store/WholeFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int OpenNew(const std::string& name) {
    return ::_open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
long long WriteSome(int fd, const char* data, size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}
bool SyncToDisk(int fd) { return ::_commit(fd) == 0; }
long long SizeOnDisk(int fd) {
    struct _stati64 st;
    return ::_fstati64(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}
bool CloseFile(int fd) { return ::_close(fd) == 0; }
void KeepModeOf(int, const std::string&) {}
void SyncFolder(const std::string&) {}
#else
int OpenNew(const std::string& name) { return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
long long WriteSome(int fd, const char* data, size_t size) { return ::write(fd, data, size); }
bool SyncToDisk(int fd) { return ::fsync(fd) == 0; }
long long SizeOnDisk(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}
bool CloseFile(int fd) { return ::close(fd) == 0; }
// A replaced file keeps its permissions, as an editor saving over it would.
void KeepModeOf(int fd, const std::string& target) {
    struct stat st;
    if (::stat(target.c_str(), &st) == 0)
        (void)::fchmod(fd, st.st_mode & 07777);
}
// The rename is only durable once the folder's entry is on disk too.
void SyncFolder(const std::string& target) {
    std::string folder = std::filesystem::path(target).parent_path().string();
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    (void)::fsync(dir);
    (void)::close(dir);
}
#endif

} // namespace

WholeFileWriter::WholeFileWriter(std::string target) : path(std::move(target)) {}

WholeFileWriter::~WholeFileWriter() { Discard(); }

void WholeFileWriter::Discard() {
    if (fd >= 0)
        (void)CloseFile(fd);
    fd = -1;
    if (!temporary.empty())
        std::remove(temporary.c_str());
    temporary.clear();
}

bool WholeFileWriter::Open() {
    Discard();
    written = 0;
    failed = true;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return false;
    std::random_device random;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        temporary = path + suffix;
        fd = OpenNew(temporary);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        temporary.clear();
        return false;
    }
    KeepModeOf(fd, path);
    failed = false;
    return true;
}

bool WholeFileWriter::Write(std::string_view bytes) {
    if (failed || fd < 0)
        return false;
    // A write may be cut short (a size limit, a nearly full disk); the rest is tried again so
    // that the real error shows.
    while (!bytes.empty()) {
        const long long n = WriteSome(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed = true;
            Discard();
            return false;
        }
        written += static_cast<unsigned long long>(n);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

bool WholeFileWriter::Commit() {
    if (failed || fd < 0) {
        failed = true;
        Discard();
        return false;
    }
    // Some file systems report a lack of space only when the data reaches the disk.
    const bool whole = SyncToDisk(fd) && SizeOnDisk(fd) == static_cast<long long>(written);
    const bool closed = CloseFile(fd);
    fd = -1;
    std::error_code ec;
    if (whole && closed)
        std::filesystem::rename(temporary, path, ec);
    if (!whole || !closed || ec) {
        failed = true;
        Discard();
        return false;
    }
    temporary.clear();
    SyncFolder(path);
    return true;
}

bool WriteWholeFile(const std::string& path, std::string_view bytes) {
    WholeFileWriter writer(path);
    return writer.Open() && writer.Write(bytes) && writer.Commit();
}
