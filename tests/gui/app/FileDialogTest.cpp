#include "core/store/SqliteHive.h"
#include "gui/app/FileDialog.h"
#include "tests/support/HivePeer.h"
#include "tests/support/TempDir.h"

#include <QAbstractItemModel>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

const std::string kTag = "Software\\Vessory\\eTag\\E2000017221101";

// Shows the program's save dialog on folder until its list is loaded and every entry shown has
// been asked for its type and icon, as the list asks when it draws them.
void ListFolder(const QString& folder) {
    auto dialog = MakeFileDialog(nullptr, folder + QStringLiteral("/zvTagOUT.txt"), QStringLiteral("TXT (*.txt)"),
                                 true);
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dialog->show();
    auto listed = [&] {
        for (const QList<QVariant>& signal : loaded)
            if (signal.at(0).toString() == folder)
                return true;
        return false;
    };
    while (!listed())
        ASSERT_TRUE(loaded.wait(60000));
    const QModelIndex root = model->index(folder);
    for (int row = 0; row < model->rowCount(root); ++row)
        for (int column = 0; column < model->columnCount(root); ++column) {
            (void)model->data(model->index(row, column, root), Qt::DisplayRole);
            (void)model->data(model->index(row, column, root), Qt::DecorationRole);
        }
    QCoreApplication::processEvents();
    dialog->close();
}

TEST(FileDialog, ListingTheHiveFolderLeavesTheHiveSharedWithTheOtherProgram) {
    TempDir dir;
    const std::string file = dir.File("user.hive");
    auto hive = SqliteHive::Open(file);
    ASSERT_NE(hive, nullptr);
    ASSERT_TRUE(hive->CreateKey(kTag, nullptr));
    ASSERT_TRUE(hive->SetValue(kTag, "LicNo", StringValue("AAA111")));

    ListFolder(QString::fromStdString(dir.Path().string()));

    EXPECT_EQ(HivePeer::Once(file, "get\t" + kTag + "\tLicNo"), "AAA111");
    ASSERT_TRUE(hive->SetValue(kTag, "Mark", DwordValue(1)));
    EXPECT_EQ(HivePeer::Once(file, "get\t" + kTag + "\tMark"), "1");
    EXPECT_EQ(HivePeer::Once(file, "set\t" + kTag + "\tLicNo\tPEER22"), "ok");
    hive.reset();
    EXPECT_EQ(HivePeer::Once(file, "get\t" + kTag + "\tLicNo"), "PEER22");
    EXPECT_EQ(HivePeer::Once(file, "get\t" + kTag + "\tMark"), "1");
}

} // namespace
