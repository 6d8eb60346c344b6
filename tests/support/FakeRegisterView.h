#pragma once

#include "gui/register/RegisterColumn.h"
#include "gui/register/RegisterView.h"

#include <QString>
#include <QWidget>

#include <array>
#include <map>
#include <vector>

struct RegisterContext;

// The register view without a list control: rows as plain cells, for flow tests that need no
// main window. Its window is a bare widget that boxes and the progress window attach to.
class FakeRegisterView : public RegisterView {
public:
    explicit FakeRegisterView(RegisterContext& context);

    // The store's records as the main window lists them; false when the store failed to read.
    bool Load();
    void Select(int row) { selected = row; }
    // How often the count line was shown.
    int CountLines() const { return countLines; }

    QWidget* Window() override { return &window; }
    QWidget* CommandButton(MainControl::Id buttonId) override;
    RegisterContext& Context() const override { return context; }
    int RowCount() const override { return int(rows.size()); }
    QString CellText(int row, int column) const override;
    VehicleType RowCarType(int row) const override;
    int SelectedRow() const override { return selected; }
    int UpsertRow(int index, const TagRecord& record) override;
    void RemoveRow(int row) override { RemoveRows({row}, {}); }
    void RemoveRows(std::vector<int> doomed, const std::function<void()>& serve) override;
    void ShowCountLine() override { ++countLines; }
    void ReserveRows(int) override {}
    void BeginRowBatch() override {}
    void EndRowBatch() override {}
    void FlushRowChanges() override {}

private:
    static constexpr int columns = RegisterColumn::count;
    struct Row {
        std::array<QString, columns> cells;
        VehicleType carType = VehicleType::Car;
    };

    RegisterContext& context;
    QWidget window;
    std::map<int, QWidget*> buttons;
    std::vector<Row> rows;
    int selected = -1;
    int countLines = 0;
};
