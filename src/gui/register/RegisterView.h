#pragma once

#include "core/register/VehicleType.h"
#include "gui/register/MainControl.h"

#include <QString>

#include <functional>
#include <vector>

class QWidget;
struct RegisterContext;
struct TagRecord;

// The register as its flows (tag files, bulk delete, plate transfer, the reader whitelist) see
// it: the rows in the order the list shows them, the row changes that follow a store write, the
// count line, and the window their boxes, menus and progress belong to. The main window is one;
// a flow test that needs no window uses a stand-in.
class RegisterView {
public:
    virtual ~RegisterView() = default;

    // The window that owns the flows' boxes and progress; disabled while a long command runs.
    // It lives exactly as long as the view, so a QPointer to it tells a flow that serves events
    // whether the view is still there.
    virtual QWidget* Window() = 0;
    // The button whose command opened a menu; the menu opens under it.
    virtual QWidget* CommandButton(MainControl::Id buttonId) = 0;
    virtual RegisterContext& Context() const = 0;

    virtual int RowCount() const = 0;
    // A cell as the main list shows it (tag, plate, type, mark, use).
    virtual QString CellText(int row, int column) const = 0;
    // The vehicle type the row was listed with, as stored (ShownVehicle tells car or motorcycle).
    virtual VehicleType RowCarType(int row) const = 0;
    // The first selected row, -1 when none.
    virtual int SelectedRow() const = 0;

    // Writes a record into row index, or with -1 into the row of its tag (appended when none).
    // Returns the row, -1 when no row could be made.
    virtual int UpsertRow(int index, const TagRecord& record) = 0;
    // Room for rows in all before many are appended one by one.
    virtual void ReserveRows(int rows) = 0;
    virtual void RemoveRow(int row) = 0;
    // Several rows in one pass; the indices are those before the call. serve, when given, runs
    // between slices of a long removal, with the rows whole and showable.
    virtual void RemoveRows(std::vector<int> rows, const std::function<void()>& serve) = 0;
    virtual void ShowCountLine() = 0;

    // A command that changes many rows brackets its changes with Begin and EndRowBatch: cell
    // changes may then reach the screen late, in one piece, at the latest when the command calls
    // FlushRowChanges before it serves events.
    virtual void BeginRowBatch() = 0;
    virtual void EndRowBatch() = 0;
    virtual void FlushRowChanges() = 0;
};
