#include "tests/support/FakeRegisterView.h"
#include "gui/register/RegisterColumn.h"

#include "core/app/RegisterContext.h"
#include "core/register/TagRecord.h"
#include "gui/controls/CaseFold.h"

#include <algorithm>

FakeRegisterView::FakeRegisterView(RegisterContext& registerContext) : context(registerContext) {}

bool FakeRegisterView::Load() {
    rows.clear();
    return context.store.ReadAllRecords([this](const TagRecord& record) { (void)UpsertRow(RowCount(), record); });
}

QWidget* FakeRegisterView::CommandButton(MainControl::Id buttonId) {
    QWidget*& button = buttons[buttonId];
    if (button == nullptr)
        button = new QWidget(&window);
    return button;
}

QString FakeRegisterView::CellText(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= columns)
        return QString();
    return rows[size_t(row)].cells[size_t(column)];
}

VehicleType FakeRegisterView::RowCarType(int row) const {
    return row < 0 || row >= RowCount() ? VehicleOfNumber(0) : rows[size_t(row)].carType;
}

int FakeRegisterView::UpsertRow(int index, const TagRecord& record) {
    const QString tag = QString::fromStdString(record.tagId);
    if (index == -1) {
        // The list finds a tag whatever the letter case of its ASCII letters.
        const auto found = std::find_if(rows.begin(), rows.end(), [&tag](const Row& row) {
            return EqualFolded(row.cells[RegisterColumn::tag], tag);
        });
        index = int(found - rows.begin());
    }
    if (index < 0 || index > RowCount())
        return -1;
    if (index == RowCount())
        rows.push_back({{tag}, VehicleType::Car});
    const SharedTexts& shared = context.texts.Shared();
    Row& row = rows[size_t(index)];
    row.cells[RegisterColumn::plate] = QString::fromStdString(record.plate);
    row.cells[RegisterColumn::type] =
        QString::fromStdString(IsMotorcycle(record.carType) ? shared.motorcycleLabel : shared.carLabel);
    row.cells[RegisterColumn::mark] = record.marked ? QStringLiteral("*") : QString();
    row.cells[RegisterColumn::useOk] = record.useOk ? QStringLiteral("Y") : QString();
    row.carType = record.carType;
    return index;
}

void FakeRegisterView::RemoveRows(std::vector<int> doomed, const std::function<void()>& serve) {
    std::sort(doomed.begin(), doomed.end());
    doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
    const bool selectedGoes = std::binary_search(doomed.begin(), doomed.end(), selected);
    const int above = int(std::lower_bound(doomed.begin(), doomed.end(), selected) - doomed.begin());
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        if (*it >= 0 && *it < RowCount())
            rows.erase(rows.begin() + *it);
    selected = selectedGoes || selected < 0 ? -1 : selected - above;
    if (serve)
        serve();
}
