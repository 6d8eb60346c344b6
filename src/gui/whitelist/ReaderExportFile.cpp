#include "gui/whitelist/ReaderExportFile.h"

#include "core/tagfile/TagFileLine.h"

#include <QFile>

ReaderExportFile::ReaderExportFile(const QString& path) : file(QFile::encodeName(path).toStdString()) {}

ReaderExportFile::~ReaderExportFile() = default;

bool ReaderExportFile::Open() { return file.Open(); }

bool ReaderExportFile::WriteId(const std::string& id) {
    return file.Write(TagFileLine::Format(id, "", VehicleType::Car));
}

bool ReaderExportFile::Commit() { return file.Commit(); }
