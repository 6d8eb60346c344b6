#pragma once

#include "core/app/RegisterContext.h"
#include "core/register/TagRecord.h"
#include "gui/register/MainControl.h"
#include "gui/register/ReaderWindowHost.h"
#include "gui/register/RegisterView.h"

#include <QDialog>

#include <functional>
#include <map>
#include <string>
#include <vector>

class CListCtrlEx;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The program's main window: the register as a list, one row per tag, and the fields of one
// record. The list is the in-memory register; every operation that writes the store also
// updates the matching row. The flows and the reader window reach it through the views it
// implements.
class MainDialog : public QDialog, public RegisterView, public ReaderWindowHost {
    Q_OBJECT
public:
    explicit MainDialog(RegisterContext& context, QWidget* parent = nullptr);
    ~MainDialog() override;

    // RegisterView and ReaderWindowHost.
    QWidget* Window() override { return this; }
    QWidget* CommandButton(MainControl::Id buttonId) override;
    RegisterContext& Context() const override { return context; }
    int RowCount() const override;
    QString CellText(int row, int column) const override;
    VehicleType RowCarType(int row) const override;
    int SelectedRow() const override;
    int UpsertRow(int index, const TagRecord& record) override;
    void RemoveRow(int row) override;
    void RemoveRows(std::vector<int> rows, const std::function<void()>& serve) override;
    void ReserveRows(int rows) override;
    void ShowCountLine() override;
    void BeginRowBatch() override;
    void EndRowBatch() override;
    void FlushRowChanges() override;
    void EnableWhitelistButton(bool on) override;

    int AppendRow(const TagRecord& record);
    void ShowBalloonAt(QWidget* control, const QString& text);

    // Buttons whose commands live elsewhere get them from start-up: Search, Reader, Delete,
    // PlateTransfer, FileMenu and Whitelist.
    void SetCommand(MainControl::Id buttonId, std::function<void()> command);
    // Asked before the window closes: true while a reader connection is being set up.
    void SetConnectingProbe(std::function<bool()> probe);
    // Runs first when the window is destroyed (the reader window and the link go with it).
    void SetTeardown(std::function<void()> teardown);

    CListCtrlEx* List() const { return list; }
    QLineEdit* TagField() const { return tagEdit; }
    QLineEdit* PlateField() const { return plateEdit; }
    QPushButton* Button(MainControl::Id id) const;
    bool UseConfirmationMode() const;

    // The register as the store holds it, read again into the list. When the store fails to
    // read part of it, the list stays empty and a box says so.
    void LoadRegister();
    // Whether the last load failed; the program then ends without writing anything.
    bool LoadFailed() const { return loadFailed; }

    // The type column's text of a record, as the list shows it.
    QString TypeLabel(VehicleType carType) const;

    // Handlers, public so flows and tests can drive them as a click does.
    void Save();
    void CopyTag();
    void CopyPlate();
    void ToggleUseConfirmation();
    void LoadSelectedRow();
    void ToggleSelectedFlag();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void ApplyTexts();
    void CopyField(QLineEdit* field);
    QPushButton* MakeButton(MainControl::Id id, const QRect& rect, const QString& text, const QIcon& icon,
                            const QString& tooltip = QString());
    bool IsConnecting() const;

    struct LabelCache {
        std::string source;
        QString text;
    };

    RegisterContext& context;
    mutable LabelCache typeLabels[2]; // car, motorcycle
    CListCtrlEx* list = nullptr;
    QLineEdit* tagEdit = nullptr;
    QLineEdit* plateEdit = nullptr;
    QRadioButton* carRadio = nullptr;
    QRadioButton* motorcycleRadio = nullptr;
    QCheckBox* useCheck = nullptr;
    QLabel* statusLine = nullptr;
    std::map<int, QPushButton*> buttons;
    std::map<int, std::function<void()>> commands;
    std::function<bool()> connectingProbe;
    std::function<void()> teardown;
    bool loadFailed = false;
};
