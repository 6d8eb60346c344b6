#include "core/store/KeyOrder.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>

namespace {

constexpr size_t kStepsPerPause = 8192;

// A key folded once into one shared buffer, beside the index it came from: compared bytewise,
// without a call or a fold per character, and near its neighbours in memory. Plain data, so
// that room for a million is not written through before it is filled.
struct Keyed {
    const char* key;
    size_t size;
    size_t index;
};

bool Before(const Keyed& a, const Keyed& b) {
    return std::string_view(a.key, a.size) < std::string_view(b.key, b.size);
}

} // namespace

// Tens of megabytes of working room are touched a slice at a time between pauses, never all
// at once: first touches of memory are slow while the system reclaims its file cache.
std::vector<size_t> KeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                             const std::function<void()>& pause) {
    size_t steps = 0;
    const auto step = [&steps, &pause] {
        if (++steps % kStepsPerPause == 0 && pause)
            pause();
    };
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes += keyOf(i).size();
        step();
    }
    std::string folded;
    folded.reserve(bytes); // never moves: the keys point into it
    auto keyed = std::make_unique_for_overwrite<Keyed[]>(count);
    bool sorted = true;
    for (size_t i = 0; i < count; ++i) {
        const std::string_view key = keyOf(i);
        const size_t at = folded.size();
        folded.append(key);
        for (char& c : std::span(folded.data() + at, key.size()))
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        keyed[i] = {folded.data() + at, key.size(), i};
        sorted = sorted && (i == 0 || !Before(keyed[i], keyed[i - 1]));
        step();
    }
    if (!sorted) {
        // Bottom-up merge sort: short runs sorted whole, then merged pair by pair, a pause
        // between every few thousand elements placed. Taking from the left run on ties keeps it
        // stable.
        for (size_t begin = 0; begin < count; begin += kStepsPerPause) {
            std::stable_sort(keyed.get() + begin, keyed.get() + std::min(count, begin + kStepsPerPause), Before);
            if (pause)
                pause();
        }
        auto merged = std::make_unique_for_overwrite<Keyed[]>(count);
        for (size_t width = kStepsPerPause; width < count; width *= 2) {
            for (size_t left = 0; left < count; left += 2 * width) {
                const size_t middle = std::min(count, left + width), end = std::min(count, left + 2 * width);
                size_t a = left, b = middle, out = left;
                while (a < middle && b < end) {
                    merged[out++] = Before(keyed[b], keyed[a]) ? keyed[b++] : keyed[a++];
                    step();
                }
                out = std::copy(keyed.get() + a, keyed.get() + middle, merged.get() + out) - merged.get();
                std::copy(keyed.get() + b, keyed.get() + end, merged.get() + out);
            }
            keyed.swap(merged);
        }
    }
    std::vector<size_t> order;
    order.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        order.push_back(keyed[i].index);
        step();
    }
    return order;
}
