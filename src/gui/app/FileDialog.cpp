#include "gui/app/FileDialog.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QMimeDatabase>

namespace {

// Icons and type names from the file name alone; never reads a file.
class NameOnlyIconProvider : public QFileIconProvider {
public:
    NameOnlyIconProvider() { setOptions(DontUseCustomDirectoryIcons); }

    QIcon icon(const QFileInfo& info) const override {
        if (!info.isFile())
            return QFileIconProvider::icon(info.isRoot() ? Drive : Folder);
        const QIcon plain = QFileIconProvider::icon(File);
        const QMimeType mime = NameMime(info);
        return mime.isDefault() ? plain : QIcon::fromTheme(mime.iconName(), plain);
    }

    QString type(const QFileInfo& info) const override {
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType mime = NameMime(info);
        return mime.comment().isEmpty() ? mime.name() : mime.comment();
    }

private:
    static QMimeType NameMime(const QFileInfo& info) {
        return QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }
};

} // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const QString& defaultName, const QString& filter,
                                            bool save) {
    // Never freed: a model's worker thread may still ask it while a dialog goes away.
    static NameOnlyIconProvider* names = new NameOnlyIconProvider;
    auto dialog = std::make_unique<QFileDialog>(parent, QString(), defaultName, filter);
#ifndef _WIN32
    // A platform dialog inside the process would look into the files itself.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
#endif
    // Before the dialog first returns to the event loop, which is when its list asks for types.
    dialog->setIconProvider(names);
    dialog->setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(QStringLiteral("txt"));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        dialog->setOption(QFileDialog::ReadOnly, true);
    }
    dialog->selectFile(defaultName);
    return dialog;
}
