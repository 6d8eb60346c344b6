#pragma once

#include "core/store/Hive.h"

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// Runs many store operations in large transactions: tens of thousands of records would take
// minutes one commit at a time. Every operation stays whole (a record is old or new, never
// half-written). One failing operation rolls its whole transaction back, so such a batch is
// run again one operation at a time and only the failing ones are lost.
class BatchWriter {
public:
    // retryHeld is asked when a batch cannot begin because another program holds the hive's write
    // lock: true tries the batch again, false stops the run. Without it the run stops there.
    explicit BatchWriter(Hive& target, size_t rowsPerBatch = 1000, std::function<bool()> retryHeld = {});

    // Runs op(i) for every i below count, in order; the result tells for each whether its
    // effect is in the store (operations a stopped run never reached count as not). Operations
    // must give the same result when run again.
    std::vector<bool> Run(size_t count, const std::function<bool(size_t)>& op);

    // As Run, but the operations go in the order of the keys they write (keyOf(i), ASCII letter
    // case folded), those of one key in their given order; op hears i and how many came before
    // it in that order. The result is still indexed by i. pause is called now and then while
    // the order is worked out.
    // Many writes in no particular order touch a new page of every index for nearly each one,
    // and every commit rewrites those pages: in key order the same work is many times faster.
    std::vector<bool> RunInKeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                                    const std::function<bool(size_t i, size_t position)>& op,
                                    const std::function<void()>& pause = {});

    // Asked after every operation: true ends the run there. The open batch is rolled back, so
    // nothing more reaches the store; what earlier batches committed stays.
    void StopWhen(std::function<bool()> stopNow) { stop = std::move(stopNow); }

private:
    // False when the run is to stop before this batch.
    bool RunBatch(size_t begin, size_t end, const std::function<bool(size_t)>& op, std::vector<bool>& done);

    Hive& hive;
    size_t batchSize;
    std::function<bool()> retry;
    std::function<bool()> stop;
};
