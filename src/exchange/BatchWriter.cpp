#include "BatchWriter.h"

#include <algorithm>

BatchWriter::BatchWriter(Hive& hive, size_t batchSize) : hive(hive), batchSize(std::max<size_t>(batchSize, 1)) {}

std::vector<bool> BatchWriter::Run(size_t count, const std::function<bool(size_t)>& op) {
    std::vector<bool> done(count, false);
    for (size_t begin = 0; begin < count; begin += batchSize) {
        size_t end = std::min(count, begin + batchSize);
        if (!hive.BeginBatch(true)) {
            // No transaction to be had (a read-only hive, say): each operation on its own.
            for (size_t i = begin; i < end; ++i)
                done[i] = op(i);
            continue;
        }
        for (size_t i = begin; i < end; ++i)
            done[i] = op(i);
        if (hive.EndBatch(true))
            continue;
        for (size_t i = begin; i < end; ++i)
            done[i] = op(i);
    }
    return done;
}
