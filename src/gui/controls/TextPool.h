#pragma once

#include "gui/controls/UnitArray.h"

#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// The cell texts of a list in one array of UTF-16 units instead of a string object per cell.
// A cell holds a 32-bit reference: the offset of its text's length. A short text that repeats
// (a type label, a flag) is stored once and shared. Texts that cells stop using stay in the
// array until Compact moves the live ones together.
class TextPool {
public:
    using Ref = std::uint32_t;
    static constexpr Ref emptyText = 0;
    // Longer texts are cut to this many units.
    static constexpr std::size_t maxLength = (std::size_t{0x3ffe} << 16) | 0xffff;

    TextPool();

    // The empty reference when the array has no room left (past 4 Gi units).
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
    void Clear();

    std::size_t Units() const { return units.size(); }
    std::size_t WasteUnits() const { return waste; }

private:
    struct Recent {
        std::uint32_t hash = 0;
        Ref ref = emptyText;
    };
    static constexpr std::size_t recentSlots = 64;
    static constexpr qsizetype sharedLength = 16; // longer texts rarely repeat

    Recent* RecentSlot(QStringView text, std::uint32_t& hash);
    Ref Append(QStringView text);
    // Room for a text of length units with its length written; nullptr when there is none.
    char16_t* Place(std::size_t length, Ref& ref);
    std::size_t Footprint(Ref ref) const;

    UnitArray units;
    std::size_t waste = 0;
    std::array<Recent, recentSlots> recent{};
};
