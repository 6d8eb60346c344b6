#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QWidget;

// The program's file dialog, set up to tell files apart by their names only. A dialog that looks
// into files to guess their type opens and closes the register's hive and its companions; on
// POSIX systems closing any descriptor of a file drops every lock the process holds on it, and
// with them the hive's locks that keep the suite's other program from removing its journal.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const QString& defaultName, const QString& filter,
                                            bool save);
