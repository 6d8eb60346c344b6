#pragma once

#include "gui/controls/TextPool.h"

#include <QStringView>

#include <cstddef>
#include <cstdint>
#include <vector>

// Column 0 of a list's rows, read in place: cell (row, 0) is cells[row * stride].
struct KeyColumn {
    const TextPool* texts = nullptr;
    const TextPool::Ref* cells = nullptr;
    std::size_t stride = 1;
    QStringView At(int row) const { return texts->View(cells[static_cast<std::size_t>(row) * stride]); }
};

// The first row of every column-0 key, with ASCII letter case ignored, for lists of millions
// of rows. The keys stay in the rows: a slot holds a row number and the key's hash, so the
// index costs 8 bytes a slot, and a sort or a removal renumbers slots instead of rehashing
// every text. A key held by more than one row is flagged; a change that could move such a
// key's first row drops the index, which is then rebuilt from the rows on the next lookup.
class RowKeyIndex {
public:
    bool Valid() const { return valid; }
    // Empty and valid, as for a list without rows.
    void Clear();
    // Lost until the next Rebuild; every change below is ignored meanwhile.
    void Drop();
    void Rebuild(KeyColumn keys, int rowCount);

    // -1 when no row has the key. Only meaningful while Valid().
    int Find(QStringView key, KeyColumn keys) const;

    // Row now holds its key; unless it came last, the rows from there on moved down by one.
    void RowInserted(int row, bool last, KeyColumn keys);
    // Called while row is still in place; the rows after it are about to move up by one.
    void RowRemoving(int row, KeyColumn keys);
    // Before cell (row, 0) changes to newKey.
    void KeyChanging(int row, QStringView newKey, KeyColumn keys);
    // After a reorder: newRowOf[oldRow] is the row's new number.
    void Renumber(const std::vector<int>& newRowOf);
    // After removing rows: newRowOf[oldRow - first] is the new number of a row from first on, -1
    // for a removed one; rows before first stay, rows after the table's end move down past the
    // removed ones.
    void RowsRemoved(int first, const std::vector<int>& newRowOf);
    // Room for count keys without growing again.
    void Reserve(std::size_t count);

private:
    static constexpr std::int32_t emptyRow = -1;
    static constexpr std::int32_t doomedRow = -2; // only while removed rows are taken out
    struct Slot {
        std::int32_t row = emptyRow;
        std::uint32_t tag = 0; // hash in the low 31 bits, the shared-key flag on top
    };
    static constexpr std::uint32_t sharedFlag = 0x80000000u;
    static constexpr std::uint32_t hashBits = 0x7fffffffu;

    std::size_t Home(std::uint32_t tag) const { return tag & hashBits & mask; }
    // Slot holding the key, or the empty slot where it belongs.
    std::size_t Probe(QStringView key, std::uint32_t hash, KeyColumn keys) const;
    void Insert(int row, QStringView key, KeyColumn keys);
    // With room already reserved.
    void InsertHashed(int row, QStringView key, std::uint32_t hash, KeyColumn keys);
    void EraseAt(std::size_t slot);
    void Rehash(std::size_t capacity);
    void Shift(int from, int by);

    std::vector<Slot> table;
    std::size_t mask = 0;
    std::size_t used = 0;
    bool valid = true;
    bool anyShared = false;
};
