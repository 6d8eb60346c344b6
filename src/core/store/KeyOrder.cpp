#include "core/store/KeyOrder.h"

#include <algorithm>

namespace {

constexpr size_t kStepsPerPause = 8192;

bool FoldedBefore(std::string_view a, std::string_view b) {
    const auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : int(c); };
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [&fold](char x, char y) { return fold(x) < fold(y); });
}

} // namespace

std::vector<size_t> KeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                             const std::function<void()>& pause) {
    size_t steps = 0;
    const auto step = [&steps, &pause] {
        if (++steps % kStepsPerPause == 0 && pause)
            pause();
    };
    const auto before = [&keyOf](size_t a, size_t b) { return FoldedBefore(keyOf(a), keyOf(b)); };
    std::vector<size_t> order(count);
    bool sorted = true;
    for (size_t i = 0; i < count; ++i) {
        order[i] = i;
        sorted = sorted && (i == 0 || !before(i, i - 1));
        step();
    }
    if (sorted)
        return order; // most files come in order already
    // Bottom-up merge sort: short runs sorted whole, then merged pair by pair, a pause between
    // every few thousand elements placed. Taking from the left run on ties keeps it stable.
    for (size_t begin = 0; begin < count; begin += kStepsPerPause) {
        std::stable_sort(order.begin() + std::ptrdiff_t(begin),
                         order.begin() + std::ptrdiff_t(std::min(count, begin + kStepsPerPause)), before);
        if (pause)
            pause();
    }
    std::vector<size_t> merged(count);
    for (size_t width = kStepsPerPause; width < count; width *= 2) {
        for (size_t left = 0; left < count; left += 2 * width) {
            const size_t middle = std::min(count, left + width), end = std::min(count, left + 2 * width);
            size_t a = left, b = middle, out = left;
            while (a < middle && b < end) {
                merged[out++] = before(order[b], order[a]) ? order[b++] : order[a++];
                step();
            }
            std::copy(order.begin() + std::ptrdiff_t(a), order.begin() + std::ptrdiff_t(middle),
                      merged.begin() + std::ptrdiff_t(out));
            out += middle - a;
            std::copy(order.begin() + std::ptrdiff_t(b), order.begin() + std::ptrdiff_t(end),
                      merged.begin() + std::ptrdiff_t(out));
        }
        order.swap(merged);
    }
    return order;
}
