#include "core/store/BatchWriter.h"

#include "core/store/KeyOrder.h"

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

std::vector<bool> BatchWriter::RunInKeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                                             const std::function<bool(size_t i, size_t position)>& op,
                                             const std::function<void()>& pause) {
    const std::vector<size_t> order = KeyOrder(count, keyOf, pause);
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
