#include "gui/controls/RowKeyIndex.h"

#include "gui/controls/CaseFold.h"

#include <algorithm>
#include <bit>

namespace {
constexpr std::size_t minCapacity = 16;
} // namespace

void RowKeyIndex::Clear() {
    std::vector<Slot>().swap(table);
    mask = 0;
    used = 0;
    valid = true;
    anyShared = false;
}

void RowKeyIndex::Drop() {
    Clear();
    valid = false;
}

void RowKeyIndex::Rebuild(KeyColumn keys, int rowCount) {
    Clear();
    Reserve(static_cast<std::size_t>(std::max(rowCount, 0)));
    // A million slots lie far apart in memory: the hashes of a batch of rows are taken first
    // and their slots fetched ahead, so the inserts do not wait on memory one by one.
    constexpr int batch = 16;
    std::uint32_t hashes[batch];
    for (int first = 0; first < rowCount; first += batch) {
        const int count = std::min(batch, rowCount - first);
        for (int i = 0; i < count; ++i) {
            hashes[i] = FoldedHash(keys.At(first + i)) & hashBits;
            __builtin_prefetch(&table[hashes[i] & mask]);
        }
        for (int i = 0; i < count; ++i)
            InsertHashed(first + i, keys.At(first + i), hashes[i], keys);
    }
}

int RowKeyIndex::Find(QStringView key, KeyColumn keys) const {
    if (table.empty())
        return -1;
    return table[Probe(key, FoldedHash(key) & hashBits, keys)].row;
}

void RowKeyIndex::RowInserted(int row, bool last, KeyColumn keys) {
    if (!valid)
        return;
    if (!last)
        Shift(row, 1);
    Insert(row, keys.At(row), keys);
}

void RowKeyIndex::RowRemoving(int row, KeyColumn keys) {
    if (!valid)
        return;
    if (table.empty()) {
        Drop();
        return;
    }
    const QStringView key = keys.At(row);
    const std::size_t at = Probe(key, FoldedHash(key) & hashBits, keys);
    // A shared key's next row is unknown without a scan; a slot naming another row would
    // mean the index went wrong. Either way the rows themselves decide on the next lookup.
    if (table[at].row != row || (table[at].tag & sharedFlag) != 0) {
        Drop();
        return;
    }
    EraseAt(at);
    Shift(row + 1, -1);
}

void RowKeyIndex::KeyChanging(int row, QStringView newKey, KeyColumn keys) {
    if (!valid)
        return;
    const QStringView oldKey = keys.At(row);
    if (EqualFolded(oldKey, newKey))
        return;
    if (table.empty()) {
        Drop();
        return;
    }
    const std::size_t at = Probe(oldKey, FoldedHash(oldKey) & hashBits, keys);
    if (table[at].row != row || (table[at].tag & sharedFlag) != 0) {
        Drop();
        return;
    }
    EraseAt(at);
    Insert(row, newKey, keys);
}

void RowKeyIndex::Renumber(const std::vector<int>& newRowOf) {
    if (!valid)
        return;
    if (anyShared) {
        Drop();
        return;
    }
    for (Slot& slot : table) {
        if (slot.row >= 0)
            slot.row = newRowOf[static_cast<std::size_t>(slot.row)];
    }
}

void RowKeyIndex::RowsRemoved(int first, const std::vector<int>& newRowOf) {
    if (!valid)
        return;
    if (anyShared) {
        Drop();
        return;
    }
    // In place, as a removal in slices does this once per slice: survivors are renumbered, the
    // slots of removed rows marked, then taken out run by run.
    const std::int64_t end = first + static_cast<std::int64_t>(newRowOf.size());
    const auto removed = static_cast<std::int32_t>(std::count(newRowOf.begin(), newRowOf.end(), -1));
    const std::uint32_t window = static_cast<std::uint32_t>(newRowOf.size());
    std::size_t doomed = 0;
    for (Slot& slot : table) {
        // Rows at random in the slots: only the rare row inside the removed range takes a
        // branch, the rest are moved (or left, as empty slots are) without one.
        const std::int32_t row = slot.row;
        const auto inside = static_cast<std::uint32_t>(row - first);
        if (inside < window) {
            const int moved = newRowOf[inside];
            slot.row = moved < 0 ? doomedRow : moved;
            doomed += moved < 0 ? 1 : 0;
            continue;
        }
        slot.row = row >= end ? row - removed : row;
    }
    if (doomed == 0)
        return;
    // From just after an empty slot, so no run wraps past the start: a removal only pulls later
    // entries of a run back into the hole, never behind the slot being looked at.
    std::size_t start = 0;
    while (table[start].row != emptyRow)
        ++start;
    for (std::size_t step = 1; step <= table.size(); ++step) {
        const std::size_t at = (start + step) & mask;
        while (table[at].row == doomedRow)
            EraseAt(at);
    }
}

std::size_t RowKeyIndex::Probe(QStringView key, std::uint32_t hash, KeyColumn keys) const {
    std::size_t at = hash & mask;
    while (table[at].row >= 0) {
        if ((table[at].tag & hashBits) == hash && EqualFolded(keys.At(table[at].row), key))
            return at;
        at = (at + 1) & mask;
    }
    return at;
}

void RowKeyIndex::Insert(int row, QStringView key, KeyColumn keys) {
    Reserve(used + 1);
    InsertHashed(row, key, FoldedHash(key) & hashBits, keys);
}

void RowKeyIndex::InsertHashed(int row, QStringView key, std::uint32_t hash, KeyColumn keys) {
    Slot& slot = table[Probe(key, hash, keys)];
    if (slot.row < 0) {
        slot.row = row;
        slot.tag = hash;
        ++used;
        return;
    }
    slot.row = std::min(slot.row, static_cast<std::int32_t>(row));
    slot.tag |= sharedFlag;
    anyShared = true;
}

void RowKeyIndex::EraseAt(std::size_t at) {
    // Linear probing without tombstones: pull later entries of the run back into the hole
    // unless their home lies between the hole and where they are.
    std::size_t hole = at;
    std::size_t next = at;
    for (;;) {
        next = (next + 1) & mask;
        if (table[next].row == emptyRow)
            break;
        const std::size_t home = Home(table[next].tag);
        const bool stays = hole < next ? (home > hole && home <= next) : (home > hole || home <= next);
        if (!stays) {
            table[hole] = table[next];
            hole = next;
        }
    }
    table[hole] = Slot{};
    --used;
}

void RowKeyIndex::Reserve(std::size_t count) {
    // At most half full, so a run of occupied slots stays short.
    const std::size_t wanted = std::bit_ceil(std::max(minCapacity, count * 2));
    if (wanted > table.size())
        Rehash(wanted);
}

void RowKeyIndex::Rehash(std::size_t capacity) {
    std::vector<Slot> old(capacity);
    old.swap(table);
    mask = capacity - 1;
    for (const Slot& slot : old) {
        if (slot.row < 0)
            continue;
        std::size_t at = Home(slot.tag);
        while (table[at].row >= 0)
            at = (at + 1) & mask;
        table[at] = slot;
    }
}

void RowKeyIndex::Shift(int from, int by) {
    for (Slot& slot : table) {
        if (slot.row >= from)
            slot.row += by;
    }
}
