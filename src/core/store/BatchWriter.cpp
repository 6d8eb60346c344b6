#include "core/store/BatchWriter.h"

#include <algorithm>

BatchWriter::BatchWriter(Hive& target, size_t rowsPerBatch, std::function<bool()> retryHeld)
    : hive(target), batchSize(std::max<size_t>(rowsPerBatch, 1)), retry(std::move(retryHeld)) {}

std::vector<bool> BatchWriter::Run(size_t count, const std::function<bool(size_t)>& op) {
    std::vector<bool> done(count, false);
    for (size_t begin = 0; begin < count; begin += batchSize)
        if (!RunBatch(begin, std::min(count, begin + batchSize), op, done))
            break;
    return done;
}

namespace {

bool FoldedBefore(std::string_view a, std::string_view b) {
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&fold](char x, char y) { return fold(x) < fold(y); });
}

} // namespace

std::vector<bool> BatchWriter::RunInKeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                                             const std::function<bool(size_t i, size_t position)>& op) {
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    const auto before = [&keyOf](size_t a, size_t b) { return FoldedBefore(keyOf(a), keyOf(b)); };
    if (!std::is_sorted(order.begin(), order.end(), before))
        std::stable_sort(order.begin(), order.end(), before);
    const std::vector<bool> doneInOrder = Run(count, [&](size_t position) { return op(order[position], position); });
    std::vector<bool> done(count, false);
    for (size_t position = 0; position < count; ++position)
        done[order[position]] = doneInOrder[position];
    return done;
}

bool BatchWriter::RunBatch(size_t begin, size_t end, const std::function<bool(size_t)>& op,
                           std::vector<bool>& done) {
    // False when told to stop after an operation.
    auto runEach = [&] {
        for (size_t i = begin; i < end; ++i) {
            done[i] = op(i);
            if (stop && stop())
                return false;
        }
        return true;
    };
    while (!hive.BeginBatch(true)) {
        // Each operation would wait out the lock again on its own: ask instead.
        if (hive.LastBatchWasBusy()) {
            if (retry && retry())
                continue;
            return false;
        }
        // No transaction to be had (a read-only hive, say): each operation on its own.
        return runEach();
    }
    if (!runEach()) {
        (void)hive.EndBatch(false);
        std::fill(done.begin() + static_cast<std::ptrdiff_t>(begin), done.begin() + static_cast<std::ptrdiff_t>(end),
                  false);
        return false;
    }
    if (!hive.EndBatch(true))
        return runEach();
    return true;
}
