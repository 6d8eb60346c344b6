#include "gui/register/MainDialog.h"

#include "gui/app/DialogUnits.h"
#include "gui/app/FocusedButton.h"
#include "gui/app/Globals.h"
#include "gui/app/Prompts.h"
#include "gui/app/UiTexts.h"
#include "gui/controls/CListCtrlEx.h"
#include "gui/controls/ShowBalloon.h"
#include "gui/register/MainControl.h"
#include "gui/register/PlateInputFilter.h"
#include "gui/register/RegisterColumn.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

QFont BoldPixelFont(int pixels) {
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

QString Qs(const std::string& s) { return QString::fromStdString(s); }

} // namespace

MainDialog::MainDialog(RegisterContext& registerContext, QWidget* parent)
    : QDialog(parent), context(registerContext) {
    mainWindow = this;
    setWindowTitle(QStringLiteral("Lumetra"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(style()->standardIcon(QStyle::SP_DriveNetIcon));
    setFont(DialogUnits::DialogFont());
    BuildControls();
    ApplyTexts();
    tagEntryTarget = tagEdit;
    LoadRegister();
}

MainDialog::~MainDialog() {
    if (teardown)
        teardown();
    tagEntryTarget = nullptr;
    if (context.hideKeyboard)
        context.hideKeyboard();
    if (mainWindow == this)
        mainWindow = nullptr;
}

QPushButton* MainDialog::MakeButton(MainControl::Id id, const QRect& rect, const QString& text, const QIcon& icon,
                                    const QString& tooltip) {
    auto* button = new QPushButton(icon, text, this);
    SetControlId(button, id);
    button->setGeometry(rect);
    button->setAutoDefault(false);
    button->setCursor(Qt::PointingHandCursor);
    if (!tooltip.isEmpty()) {
        button->setToolTip(tooltip);
        button->setAccessibleName(tooltip);
    } else {
        button->setAccessibleName(text);
    }
    buttons[id] = button;
    connect(button, &QPushButton::clicked, this, [this, id] {
        auto it = commands.find(id);
        if (it != commands.end() && it->second)
            it->second();
    });
    return button;
}

void MainDialog::BuildControls() {
    DialogUnits du(font());
    setFixedSize(du.Size(400, 465));
    QStyle* st = style();

    auto* frame = new QGroupBox(this);
    frame->setGeometry(du.Rect(5, 0, 390, 125));

    auto makeLabel = [&](int id, const QRect& rect) {
        auto* label = new QLabel(this);
        SetControlId(label, id);
        label->setGeometry(rect);
        label->setFont(BoldPixelFont(16));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
        return label;
    };
    QLabel* tagLabel = makeLabel(MainControl::TagLabel, du.Rect(20, 15, 120, 28));
    QLabel* plateLabel = makeLabel(MainControl::PlateLabel, du.Rect(20, 45, 120, 28));
    makeLabel(MainControl::TypeLabel, du.Rect(20, 80, 120, 28));

    auto* filter = new PlateInputFilter(this);
    tagEdit = new QLineEdit(this);
    SetControlId(tagEdit, MainControl::TagField);
    tagEdit->setGeometry(du.Rect(150, 15, 200, 16));
    tagEdit->setReadOnly(true);
    tagEdit->setFont(BoldPixelFont(18));
    tagEdit->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(240,250,255); color: black; }"));
    tagEdit->installEventFilter(filter);
    tagLabel->setBuddy(tagEdit);

    plateEdit = new QLineEdit(this);
    SetControlId(plateEdit, MainControl::PlateField);
    plateEdit->setGeometry(du.Rect(150, 45, 120, 18));
    plateEdit->setMaxLength(8);
    plateEdit->setFont(BoldPixelFont(22));
    plateEdit->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(250,250,250); color: black; }"));
    plateEdit->installEventFilter(filter);
    plateLabel->setBuddy(plateEdit);

    // The icon buttons have no caption: their tooltip names them, also to assistive technology.
    const LanguageTexts& t = context.texts;
    QIcon copyIcon = st->standardIcon(QStyle::SP_FileDialogContentsView);
    MakeButton(MainControl::CopyTag, du.Rect(355, 15, 20, 18), QString(), copyIcon,
               LookupText(t, "LUMETRA", "010", QStringLiteral("複製eTag編號")));
    MakeButton(MainControl::CopyPlate, du.Rect(275, 45, 20, 18), QString(), copyIcon,
               LookupText(t, "LUMETRA", "011", QStringLiteral("複製車牌號碼")));
    MakeButton(MainControl::Keyboard, du.Rect(300, 42, 28, 22), QString(), st->standardIcon(QStyle::SP_ComputerIcon),
               LookupText(t, "LUMETRA", "012", QStringLiteral("螢幕鍵盤")));

    carRadio = new QRadioButton(this);
    SetControlId(carRadio, MainControl::CarRadio);
    carRadio->setGeometry(du.Rect(150, 75, 120, 18));
    carRadio->setFont(BoldPixelFont(16));
    motorcycleRadio = new QRadioButton(this);
    SetControlId(motorcycleRadio, MainControl::MotorcycleRadio);
    motorcycleRadio->setGeometry(du.Rect(150, 95, 120, 18));
    motorcycleRadio->setFont(BoldPixelFont(16));
    carRadio->setChecked(true);

    MakeButton(MainControl::Reader, du.Rect(275, 72, 105, 22), QString(), QIcon());
    MakeButton(MainControl::Whitelist, du.Rect(275, 96, 105, 22), QString(), QIcon());
    MakeButton(MainControl::Save, du.Rect(5, 130, 70, 20), QString(), st->standardIcon(QStyle::SP_DialogSaveButton));
    MakeButton(MainControl::Delete, du.Rect(75, 130, 70, 20), QString(), st->standardIcon(QStyle::SP_TrashIcon));
    MakeButton(MainControl::Search, du.Rect(145, 130, 70, 20), QString(),
               st->standardIcon(QStyle::SP_FileDialogDetailedView));
    MakeButton(MainControl::PlateTransfer, du.Rect(230, 130, 90, 20), QString(), QIcon());
    MakeButton(MainControl::FileMenu, du.Rect(320, 130, 70, 20), QString(), QIcon());

    useCheck = new QCheckBox(QStringLiteral("使用確認"), this);
    SetControlId(useCheck, MainControl::UseConfirmation);
    useCheck->setGeometry(du.Rect(5, 155, 102, 10));
    useCheck->setAccessibleName(useCheck->text());

    list = new CListCtrlEx(this);
    SetControlId(list, MainControl::List);
    list->setGeometry(du.Rect(5, 170, 390, 274));
    list->setAccessibleName(LookupText(t, "LUMETRA", "013", QStringLiteral("eTag 資料")));

    statusLine = new QLabel(this);
    SetControlId(statusLine, MainControl::StatusLine);
    statusLine->setGeometry(du.Rect(5, 446, 390, 14));
    statusLine->setAlignment(Qt::AlignCenter);
    statusLine->setFrameShape(QFrame::Box);
    QFont statusFont = font();
    statusFont.setBold(true);
    statusLine->setFont(statusFont);
    statusLine->setAutoFillBackground(true);
    QPalette pal = statusLine->palette();
    pal.setColor(QPalette::Window, QColor(228, 228, 228));
    pal.setColor(QPalette::WindowText, Qt::black);
    statusLine->setPalette(pal);

    buttons[MainControl::Whitelist]->setEnabled(false);

    commands[MainControl::Save] = [this] { Save(); };
    commands[MainControl::CopyTag] = [this] { CopyTag(); };
    commands[MainControl::CopyPlate] = [this] { CopyPlate(); };
    commands[MainControl::Keyboard] = [this] {
        if (this->context.showKeyboard)
            this->context.showKeyboard();
        plateEdit->setFocus();
    };
    // toggled, not clicked: an accessibility action toggles the box without a click.
    connect(useCheck, &QCheckBox::toggled, this, [this] { ToggleUseConfirmation(); });
    connect(list, &CListCtrlEx::rowDoubleClicked, this, [this] { LoadSelectedRow(); });
    connect(list, &CListCtrlEx::contextRequested, this, [this] { ToggleSelectedFlag(); });
}

void MainDialog::ApplyTexts() {
    const LanguageTexts& t = context.texts;
    ApplyText(t, "COMMON", "002", QStringLiteral("儲存"), buttons[MainControl::Save]);
    ApplyText(t, "COMMON", "004", QStringLiteral("刪除"), buttons[MainControl::Delete]);
    ApplyText(t, "COMMON", "005", QStringLiteral("搜尋"), buttons[MainControl::Search]);
    ApplyText(t, "APB1", "020", QStringLiteral("汽車"), carRadio);
    ApplyText(t, "APB1", "021", QStringLiteral("機車"), motorcycleRadio);
    ApplyText(t, "APB1", "025", QStringLiteral("UHF讀取機連線設定"), buttons[MainControl::Reader]);
    ApplyText(t, "APB1", "028", QStringLiteral("UHF讀取機名單設定"), buttons[MainControl::Whitelist]);
    ApplyText(t, "APB1", "046", QStringLiteral("eTag匯入至車牌名單"), buttons[MainControl::PlateTransfer]);
    ApplyText(t, "APB1", "054", QStringLiteral("檔案匯入/匯出"), buttons[MainControl::FileMenu]);
    ApplyText(t, "APB11", "001", QStringLiteral("車牌號碼:"), FindControl(this, MainControl::PlateLabel));
    ApplyText(t, "APB11", "021", QStringLiteral("eTag 編號:"), FindControl(this, MainControl::TagLabel));
    ApplyText(t, "APB11", "022", QStringLiteral("車子類型:"), FindControl(this, MainControl::TypeLabel));
    // Fields are named by their labels.
    tagEdit->setAccessibleName(FindControl<QLabel>(this, MainControl::TagLabel)->text());
    plateEdit->setAccessibleName(FindControl<QLabel>(this, MainControl::PlateLabel)->text());

    // The widths are a base unit of 7 pixels times 32, 20, 16, 6 and 6.
    list->SetColumns({LookupText(t, "APB1", "015", QStringLiteral("eTag 編號")),
                      LookupText(t, "APB1", "002", QStringLiteral("車牌號碼")),
                      LookupText(t, "APB1", "016", QStringLiteral("車子類型")), QStringLiteral("*"),
                      QStringLiteral("Y")},
                     {7 * 32, 7 * 20, 7 * 16, 7 * 6, 7 * 6});
    list->EnableSortMark(true, 1);
    list->EnableSortTint(true, 0);
}

void MainDialog::LoadRegister() {
    list->Clear();
    Hive& hive = context.store.GetHive();
    int errors = hive.StoreErrors();
    {
        // One snapshot and one streamed read for the whole load: sites keep up to a million tags.
        HiveBatch snapshot(hive, false);
        ListRows rows(RegisterColumn::count);
        const QString car = TypeLabel(VehicleType::Car);
        const QString motorcycle = TypeLabel(VehicleType::Motorcycle);
        const bool read = context.store.ReadAllRecords([&](const TagRecord& record) {
            rows.AddUtf8(record.tagId);
            rows.AddUtf8(record.plate);
            rows.Add(IsMotorcycle(record.carType) ? motorcycle : car);
            rows.Add(record.marked ? u"*" : u"");
            rows.Add(record.useOk ? u"Y" : u"");
            rows.EndRow(VehicleNumber(record.carType));
        });
        (void)snapshot.Commit();
        loadFailed = !read || hive.StoreErrors() != errors;
        if (!loadFailed)
            list->AppendRows(std::move(rows));
    }
    ShowCountLine();
    // Never a shorter register shown as if whole.
    if (loadFailed)
        prompts().Message(this, LookupText(context.texts, "LUMETRA", "024",
                                           QStringLiteral("登錄資料讀取失敗，程式將結束。")));
}

QString MainDialog::TypeLabel(VehicleType carType) const {
    // Every row of a type shares one label string instead of a copy per row.
    const SharedTexts& shared = context.texts.Shared();
    const std::string& label = IsMotorcycle(carType) ? shared.motorcycleLabel : shared.carLabel;
    LabelCache& cache = typeLabels[IsMotorcycle(carType) ? 1 : 0];
    if (cache.text.isNull() || cache.source != label) {
        cache.source = label;
        cache.text = Qs(label);
    }
    return cache.text;
}

int MainDialog::UpsertRow(int index, const TagRecord& record) {
    QString tag = Qs(record.tagId);
    if (index == -1) {
        index = list->FindRow(tag);
        if (index < 0)
            index = list->InsertRow(list->RowCount(), tag);
        if (index < 0)
            return -1;
    }
    list->SetCellText(index, RegisterColumn::plate, Qs(record.plate));
    list->SetCellText(index, RegisterColumn::type, TypeLabel(record.carType));
    list->SetCellText(index, RegisterColumn::mark, record.marked ? QStringLiteral("*") : QString());
    list->SetCellText(index, RegisterColumn::useOk, record.useOk ? QStringLiteral("Y") : QString());
    list->SetItemData(index, VehicleNumber(record.carType));
    return index;
}

int MainDialog::AppendRow(const TagRecord& record) {
    int index = list->InsertRow(list->RowCount(), Qs(record.tagId));
    if (index < 0)
        return -1;
    return UpsertRow(index, record);
}

QWidget* MainDialog::CommandButton(MainControl::Id buttonId) {
    return Button(buttonId);
}

int MainDialog::RowCount() const {
    return list->RowCount();
}

QString MainDialog::CellText(int row, int column) const {
    return list->CellText(row, column);
}

VehicleType MainDialog::RowCarType(int row) const {
    return VehicleOfNumber(list->ItemData(row));
}

int MainDialog::SelectedRow() const {
    return list->FirstSelectedRow();
}

void MainDialog::RemoveRow(int row) {
    list->DeleteRow(row);
}

void MainDialog::RemoveRows(std::vector<int> rows, const std::function<void()>& serve) {
    list->DeleteRows(std::move(rows), serve);
}

void MainDialog::ReserveRows(int rows) {
    list->ReserveRows(rows);
}

void MainDialog::BeginRowBatch() {
    list->BeginBatch();
}

void MainDialog::EndRowBatch() {
    list->EndBatch();
}

void MainDialog::FlushRowChanges() {
    list->FlushChanges();
}

void MainDialog::ShowCountLine() {
    if (!list || !statusLine)
        return;
    QString count = QString::number(list->RowCount()).rightJustified(5, QLatin1Char(' '));
    statusLine->setText(QStringLiteral(" %1: %2 ").arg(Qs(context.texts.Shared().countLabel), count));
}

void MainDialog::ShowBalloonAt(QWidget* control, const QString& text) { ::ShowBalloonAt(control, text); }

void MainDialog::EnableWhitelistButton(bool on) {
    buttons[MainControl::Whitelist]->setEnabled(on);
}

void MainDialog::SetCommand(MainControl::Id buttonId, std::function<void()> command) {
    commands[buttonId] = std::move(command);
}

void MainDialog::SetConnectingProbe(std::function<bool()> probe) { connectingProbe = std::move(probe); }

void MainDialog::SetTeardown(std::function<void()> hook) { teardown = std::move(hook); }

QPushButton* MainDialog::Button(MainControl::Id id) const {
    auto it = buttons.find(id);
    return it == buttons.end() ? nullptr : it->second;
}

bool MainDialog::UseConfirmationMode() const { return useCheck->isChecked(); }

void MainDialog::Save() {
    QString empty = LookupText(context.texts, "COMMON", "009", QStringLiteral("不可為空白!"));
    if (!carRadio->isChecked() && !motorcycleRadio->isChecked()) {
        ShowBalloonAt(carRadio, empty);
        return;
    }
    QString tag = tagEdit->text();
    if (tag.isEmpty()) {
        ShowBalloonAt(tagEdit, empty);
        return;
    }
    context.config.registerChanged = true;
    TagRecord record;
    record.tagId = tag.toStdString();
    record.plate = plateEdit->text().toStdString();
    record.carType = motorcycleRadio->isChecked() ? VehicleType::Motorcycle : VehicleType::Car;
    // A write the store refused must not look saved: say so and leave the row as it was.
    if (!context.store.WriteRecord(record.tagId, &record)) {
        prompts().Message(this, LookupText(context.texts, "LUMETRA", "001", QStringLiteral("資料儲存失敗!")));
        return;
    }
    UpsertRow(-1, record);
    ShowCountLine();
    plateEdit->setFocus();
}

void MainDialog::CopyField(QLineEdit* field) {
    field->selectAll();
    field->home(false);
    field->end(true);
    // Copying an empty selection copies nothing: what the clipboard held stays there.
    if (!field->text().isEmpty())
        QApplication::clipboard()->setText(field->text());
    plateEdit->setFocus();
}

void MainDialog::CopyTag() { CopyField(tagEdit); }

void MainDialog::CopyPlate() { CopyField(plateEdit); }

void MainDialog::ToggleUseConfirmation() {
    bool editing = !useCheck->isChecked();
    for (MainControl::Id id : {MainControl::Save, MainControl::Delete, MainControl::Search, MainControl::PlateTransfer,
                               MainControl::FileMenu})
        buttons[id]->setEnabled(editing);
}

void MainDialog::LoadSelectedRow() {
    int row = list->FirstSelectedRow();
    if (row < 0)
        return;
    tagEdit->setText(list->CellText(row, RegisterColumn::tag));
    plateEdit->setText(list->CellText(row, RegisterColumn::plate));
    if (IsMotorcycle(RowCarType(row)))
        motorcycleRadio->setChecked(true);
    else
        carRadio->setChecked(true);
}

void MainDialog::ToggleSelectedFlag() {
    int row = list->FirstSelectedRow();
    if (row < 0)
        return;
    std::string tag = list->CellText(row, RegisterColumn::tag).toStdString();
    bool confirming = useCheck->isChecked();
    int column = confirming ? RegisterColumn::useOk : RegisterColumn::mark;
    QString flag = confirming ? QStringLiteral("Y") : QStringLiteral("*");
    bool on = list->CellText(row, column) != flag;
    bool written = confirming ? context.store.WriteUseOk(tag, on ? 1 : 0) : context.store.WriteMark(tag, on ? 1 : 0);
    if (!written) {
        prompts().Message(this, LookupText(context.texts, "LUMETRA", "002", QStringLiteral("無法更新此筆資料!")));
        return;
    }
    list->SetCellText(row, column, on ? flag : QString());
}

bool MainDialog::IsConnecting() const { return connectingProbe && connectingProbe(); }

void MainDialog::closeEvent(QCloseEvent* event) {
    if (IsConnecting()) {
        prompts().Notice(this, AppTitle(), QStringLiteral("It's connecting now."));
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MainDialog::reject() {
    // Escape and the close box end the window, but never while a reader connects.
    if (IsConnecting())
        return;
    QDialog::reject();
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // With no button focused, Enter ends the window as a dialog's default does.
        if (!PressFocusedButton(this) && !IsConnecting())
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
