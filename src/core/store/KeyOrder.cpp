#include "core/store/KeyOrder.h"

#include <algorithm>
#include <string>

namespace {

constexpr size_t kStepsPerPause = 8192;

// A key folded once into one shared buffer, beside the index it came from: compared bytewise,
// without a call or a fold per character, and near its neighbours in memory.
struct Keyed {
    std::string_view key;
    size_t index;
};

bool Before(const Keyed& a, const Keyed& b) { return a.key < b.key; }

} // namespace

std::vector<size_t> KeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                             const std::function<void()>& pause) {
    size_t steps = 0;
    const auto step = [&steps, &pause] {
        if (++steps % kStepsPerPause == 0 && pause)
            pause();
    };
    std::vector<size_t> ends(count);
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes += keyOf(i).size();
        ends[i] = bytes;
        step();
    }
    std::string folded(bytes, '\0');
    std::vector<Keyed> keyed(count);
    bool sorted = true;
    for (size_t i = 0; i < count; ++i) {
        const std::string_view key = keyOf(i);
        char* const to = folded.data() + (ends[i] - key.size());
        std::transform(key.begin(), key.end(), to,
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        keyed[i] = {std::string_view(to, key.size()), i};
        sorted = sorted && (i == 0 || !Before(keyed[i], keyed[i - 1]));
        step();
    }
    std::vector<size_t>().swap(ends);
    if (!sorted) {
        // Bottom-up merge sort: short runs sorted whole, then merged pair by pair, a pause
        // between every few thousand elements placed. Taking from the left run on ties keeps it
        // stable.
        for (size_t begin = 0; begin < count; begin += kStepsPerPause) {
            std::stable_sort(keyed.begin() + std::ptrdiff_t(begin),
                             keyed.begin() + std::ptrdiff_t(std::min(count, begin + kStepsPerPause)), Before);
            if (pause)
                pause();
        }
        std::vector<Keyed> merged(count);
        for (size_t width = kStepsPerPause; width < count; width *= 2) {
            for (size_t left = 0; left < count; left += 2 * width) {
                const size_t middle = std::min(count, left + width), end = std::min(count, left + 2 * width);
                size_t a = left, b = middle, out = left;
                while (a < middle && b < end) {
                    merged[out++] = Before(keyed[b], keyed[a]) ? keyed[b++] : keyed[a++];
                    step();
                }
                std::copy(keyed.begin() + std::ptrdiff_t(a), keyed.begin() + std::ptrdiff_t(middle),
                          merged.begin() + std::ptrdiff_t(out));
                out += middle - a;
                std::copy(keyed.begin() + std::ptrdiff_t(b), keyed.begin() + std::ptrdiff_t(end),
                          merged.begin() + std::ptrdiff_t(out));
            }
            keyed.swap(merged);
        }
    }
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = keyed[i].index;
    return order;
}
