#include "ReaderExportFile.h"

#include <QByteArray>

ReaderExportFile::ReaderExportFile(const QString& path) : file(path) {
    // Writing straight into the target would leave a half file behind after a failure.
    file.setDirectWriteFallback(false);
}

ReaderExportFile::~ReaderExportFile() {
    if (file.isOpen())
        file.cancelWriting();
}

bool ReaderExportFile::Open() {
    // Unbuffered, so a short write shows at the line that hit it rather than being lost in a
    // later flush.
    failed = !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    written = 0;
    return !failed;
}

bool ReaderExportFile::WriteId(const std::string& id) {
    if (failed || !file.isOpen())
        return false;
    QByteArray line(id.data(), static_cast<qsizetype>(id.size()));
    line += ",,1\r\n";
    if (file.write(line) != line.size() || file.error() != QFileDevice::NoError) {
        failed = true;
        file.cancelWriting();
        return false;
    }
    written += line.size();
    return true;
}

bool ReaderExportFile::Commit() {
    if (failed || !file.isOpen()) {
        failed = true;
        return false;
    }
    // A full disk can cut a write short without any error being reported; the size tells.
    if (!file.flush() || file.size() != written) {
        failed = true;
        file.cancelWriting();
        (void)file.commit(); // removes the temporary file
        return false;
    }
    failed = !file.commit();
    return !failed;
}
