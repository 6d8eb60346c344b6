#include "gui/whitelist/ReaderExportFile.h"

#include <QFile>

ReaderExportFile::ReaderExportFile(const QString& path) : file(QFile::encodeName(path).toStdString()) {}

ReaderExportFile::~ReaderExportFile() = default;

bool ReaderExportFile::Open() { return file.Open(); }

bool ReaderExportFile::WriteId(const std::string& id) { return file.Write(id + ",,1\r\n"); }

bool ReaderExportFile::Commit() { return file.Commit(); }
