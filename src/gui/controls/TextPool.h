#pragma once

#include "gui/controls/UnitArray.h"

#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The cell texts of a list in one array of UTF-16 units instead of a string object per cell.
// A cell holds a 32-bit reference: the offset of its text's length, with the array's generation
// on top. A short text that repeats (a type label, a flag) is stored once and shared. Texts that
// cells stop using stay in the array until a compaction moves the live ones into a new array.
// A compaction may run in steps with other work between them: until it ends, a reference into
// the old array reads the same text as before, wherever the text went.
class TextPool {
public:
    using Ref = std::uint32_t;
    static constexpr Ref emptyText = 0;
    // Longer texts are cut to this many units.
    static constexpr std::size_t maxLength = (std::size_t{0x3ffe} << 16) | 0xffff;

    TextPool();

    // The empty reference when the array has no room left (past 2 Gi units).
    [[nodiscard]] Ref Add(QStringView text);
    // The same text as QString::fromUtf8 gives; ASCII is widened without a detour.
    [[nodiscard]] Ref AddUtf8(std::string_view text);
    QStringView View(Ref ref) const;

    // A cell no longer uses the text. A shared text is never counted as waste, as other
    // cells may still use it.
    void Release(Ref ref);
    // Whether enough of the array is waste to be worth a Compact.
    bool Wasteful() const;
    // Keeps only the texts named in refs, in the order met, and rewrites refs to match.
    void Compact(std::vector<Ref>& refs);
    // The same in steps: after BeginCompact every reference in use is passed to Keep once (one
    // already kept, or added since, is left alone) before EndCompact frees the old array.
    void BeginCompact();
    void Keep(Ref& ref);
    void EndCompact();
    bool Compacting() const { return old.size() != 0; }
    void Clear();

    // Of the array that new texts go to.
    std::size_t Units() const { return units.size(); }
    std::size_t WasteUnits() const { return waste; }

private:
    struct Recent {
        std::uint32_t hash = 0;
        Ref ref = emptyText;
    };
    static constexpr std::size_t recentSlots = 64;
    static constexpr qsizetype sharedLength = 16; // longer texts rarely repeat
    static constexpr Ref generationBit = 0x80000000u;
    static constexpr Ref offsetBits = 0x7fffffffu;

    Recent* RecentSlot(QStringView text, std::uint32_t& hash);
    Ref Append(QStringView text);
    // Room for a text of length units with its length written; nullptr when there is none.
    char16_t* Place(std::size_t length, Ref& ref);
    bool IsOld(Ref ref) const { return ((ref ^ generation) & generationBit) != 0; }
    // Where the text of ref starts, its length unit first; a moved text is followed.
    const char16_t* Locate(Ref ref) const;

    UnitArray units;
    UnitArray old; // the array a running compaction moves texts out of
    Ref generation = 0;
    std::size_t waste = 0;
    std::array<Recent, recentSlots> recent{};
};
