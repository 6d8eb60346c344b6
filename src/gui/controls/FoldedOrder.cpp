#include "gui/controls/FoldedOrder.h"

#include "gui/controls/CaseFold.h"

#include <algorithm>
#include <cstdint>

namespace {

// Four folded code units packed so that integers compare as the texts do; a text that ends
// gives zeros, which sort first as a shorter text does. A real U+0000 also gives a zero, so
// equal chunks still go to the full comparison.
std::uint64_t ChunkAt(QStringView text, qsizetype from) {
    std::uint64_t chunk = 0;
    for (qsizetype i = from; i < from + 4; ++i)
        chunk = (chunk << 16) | (i < text.size() ? FoldAsciiChar(text[i].unicode()) : 0u);
    return chunk;
}

// Units that every text of a run shares from depth on: comparing them again and again is
// most of the work when tags come from one batch and differ only at the end.
template <typename Entry>
qsizetype CommonPrefix(const std::vector<QStringView>& texts, const Entry* begin, const Entry* end, qsizetype depth) {
    QStringView first = texts[begin->index];
    qsizetype common = first.size() - depth;
    for (const Entry* entry = begin + 1; entry != end && common > 0; ++entry) {
        QStringView text = texts[entry->index];
        const qsizetype limit = std::min(common, text.size() - depth);
        qsizetype same = 0;
        while (same < limit &&
               FoldAsciiChar(text[depth + same].unicode()) == FoldAsciiChar(first[depth + same].unicode()))
            ++same;
        common = same;
    }
    return std::max<qsizetype>(common, 0);
}

struct Entry {
    std::uint64_t chunk;
    int index;
};

struct Run {
    Entry* begin;
    Entry* end;
    qsizetype depth; // every text of the run has the same folded units before it
};

} // namespace

std::vector<int> FoldedOrder(const std::vector<QStringView>& texts, bool ascending) {
    std::vector<Entry> entries(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i)
        entries[i] = {0, static_cast<int>(i)};

    auto fullLess = [&texts, ascending](const Entry& a, const Entry& b) {
        const int order = CompareFolded(texts[a.index], texts[b.index]);
        if (order != 0)
            return ascending ? order < 0 : order > 0;
        return a.index < b.index;
    };
    auto chunkLess = [ascending](const Entry& a, const Entry& b) {
        if (a.chunk != b.chunk)
            return ascending ? a.chunk < b.chunk : a.chunk > b.chunk;
        return a.index < b.index;
    };

    // Sorts four units at a time and goes deeper only into runs that still tie, so a text
    // is read a few times in all instead of once per comparison.
    constexpr std::ptrdiff_t smallRun = 16;
    std::vector<Run> runs;
    if (entries.size() > 1)
        runs.push_back({entries.data(), entries.data() + entries.size(), 0});
    while (!runs.empty()) {
        Run run = runs.back();
        runs.pop_back();
        if (run.end - run.begin <= smallRun) {
            std::sort(run.begin, run.end, fullLess);
            continue;
        }
        const qsizetype depth = run.depth + CommonPrefix(texts, run.begin, run.end, run.depth);
        for (Entry* entry = run.begin; entry != run.end; ++entry)
            entry->chunk = ChunkAt(texts[entry->index], depth);
        std::sort(run.begin, run.end, chunkLess);
        for (Entry* first = run.begin; first != run.end;) {
            Entry* last = first + 1;
            while (last != run.end && last->chunk == first->chunk)
                ++last;
            if (last - first > 1) {
                if ((first->chunk & 0xffff) != 0)
                    runs.push_back({first, last, depth + 4});
                else if (!std::is_sorted(first, last, fullLess))
                    std::sort(first, last, fullLess); // ended texts, or a U+0000 among them
            }
            first = last;
        }
    }

    std::vector<int> order(texts.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        order[i] = entries[i].index;
    return order;
}
