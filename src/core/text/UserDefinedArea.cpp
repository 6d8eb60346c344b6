#include "core/text/UserDefinedArea.h"

namespace {

// Each area is numbered row by row (lead byte ascending), trail bytes 40–7E then A1–FE.
struct Area {
    unsigned firstLead;
    unsigned lastLead;
    unsigned firstTrail; // C6A1–C8FE starts in the middle of its first row
    char32_t firstCharacter;
};

constexpr Area kAreas[] = {
    {0xFA, 0xFE, 0x40, 0xE000},
    {0x8E, 0xA0, 0x40, 0xE311},
    {0x81, 0x8D, 0x40, 0xEEB8},
    {0xC6, 0xC8, 0xA1, 0xF6B1},
};

constexpr int kLowTrails = 0x7E - 0x40 + 1;             // 63
constexpr int kTrailsPerRow = kLowTrails + 0xFE - 0xA1 + 1; // 157

int TrailIndex(unsigned trail) {
    if (trail >= 0x40 && trail <= 0x7E)
        return int(trail - 0x40);
    if (trail >= 0xA1 && trail <= 0xFE)
        return kLowTrails + int(trail - 0xA1);
    return -1;
}

unsigned TrailAt(int index) { return index < kLowTrails ? 0x40 + unsigned(index) : 0xA1 + unsigned(index - kLowTrails); }

int Size(const Area& area) {
    return int(area.lastLead - area.firstLead + 1) * kTrailsPerRow - TrailIndex(area.firstTrail);
}

} // namespace

char32_t UserDefinedCharacter(unsigned char lead, unsigned char trail) {
    const int column = TrailIndex(trail);
    if (column < 0)
        return 0;
    for (const Area& area : kAreas) {
        if (lead < area.firstLead || lead > area.lastLead)
            continue;
        const int offset = int(lead - area.firstLead) * kTrailsPerRow + column - TrailIndex(area.firstTrail);
        return offset < 0 ? 0 : area.firstCharacter + char32_t(offset);
    }
    return 0;
}

std::optional<std::string> UserDefinedBytes(char32_t character) {
    for (const Area& area : kAreas) {
        if (character < area.firstCharacter || character >= area.firstCharacter + char32_t(Size(area)))
            continue;
        const int position = int(character - area.firstCharacter) + TrailIndex(area.firstTrail);
        return std::string{char(area.firstLead + unsigned(position / kTrailsPerRow)),
                           char(TrailAt(position % kTrailsPerRow))};
    }
    return std::nullopt;
}
