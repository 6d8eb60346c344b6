#include "gui/controls/TextPool.h"

#include <QString>

#include <algorithm>

namespace {

// A text's first unit: its length when it fits in 14 bits, else the high part of a length
// whose low 16 bits follow; and whether more than one cell uses it. A moved text's first unit
// is movedMark, which no length can give, followed by its new reference.
constexpr char16_t longFlag = 0x8000;
constexpr char16_t sharedFlag = 0x4000;
constexpr char16_t lengthBits = 0x3fff;
constexpr char16_t movedMark = 0xffff;
// Room for the moved mark and a 32-bit offset in every stored text.
constexpr std::size_t minFootprint = 3;

std::size_t HeaderUnits(std::size_t length) {
    return length <= lengthBits ? 1 : 2;
}

QStringView TextAt(const char16_t* at) {
    const char16_t first = at[0];
    if ((first & longFlag) == 0)
        return QStringView(at + 1, first & lengthBits);
    const std::size_t length = (static_cast<std::size_t>(first & lengthBits) << 16) | at[1];
    return QStringView(at + 2, static_cast<qsizetype>(length));
}

std::size_t FootprintAt(const char16_t* at) {
    const std::size_t length = static_cast<std::size_t>(TextAt(at).size());
    return std::max(HeaderUnits(length) + length, minFootprint);
}

std::uint32_t HashUnits(QStringView text) {
    std::uint32_t hash = 2166136261u;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

TextPool::TextPool() {
    Clear();
}

void TextPool::Clear() {
    // The empty text sits at offset 0 and is never moved or counted.
    units = UnitArray();
    units.resize(minFootprint);
    old = UnitArray();
    generation = 0;
    waste = 0;
    recent = {};
}

TextPool::Recent* TextPool::RecentSlot(QStringView text, std::uint32_t& hash) {
    hash = HashUnits(text);
    return &recent[hash % recentSlots];
}

TextPool::Ref TextPool::Add(QStringView text) {
    if (text.isEmpty())
        return emptyText;
    if (text.size() > sharedLength)
        return Append(text);
    std::uint32_t hash = 0;
    Recent* slot = RecentSlot(text, hash);
    if (slot->ref != emptyText && slot->hash == hash && View(slot->ref) == text) {
        units[slot->ref & offsetBits] |= sharedFlag;
        return slot->ref;
    }
    const Ref ref = Append(text);
    if (ref != emptyText)
        *slot = {hash, ref};
    return ref;
}

TextPool::Ref TextPool::AddUtf8(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!ascii)
        return Add(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (text.size() <= static_cast<std::size_t>(sharedLength)) {
        char16_t wide[sharedLength];
        std::copy(text.begin(), text.end(), wide);
        return Add(QStringView(wide, static_cast<qsizetype>(text.size())));
    }
    // Long ASCII texts (tag numbers) go straight into the array.
    const std::size_t length = std::min(text.size(), maxLength);
    Ref ref = emptyText;
    if (char16_t* out = Place(length, ref))
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), out);
    return ref;
}

TextPool::Ref TextPool::Append(QStringView text) {
    const std::size_t length = std::min(static_cast<std::size_t>(text.size()), maxLength);
    Ref ref = emptyText;
    if (char16_t* out = Place(length, ref))
        std::copy(text.utf16(), text.utf16() + length, out);
    return ref;
}

char16_t* TextPool::Place(std::size_t length, Ref& ref) {
    const std::size_t header = HeaderUnits(length);
    const std::size_t start = units.size();
    const std::size_t footprint = std::max(header + length, minFootprint);
    if (start + footprint > offsetBits)
        return nullptr;
    units.resize(start + footprint);
    char16_t* out = units.data() + start;
    if (header == 1) {
        *out++ = static_cast<char16_t>(length);
    } else {
        *out++ = static_cast<char16_t>(longFlag | (length >> 16));
        *out++ = static_cast<char16_t>(length & 0xffff);
    }
    ref = static_cast<Ref>(start) | generation;
    return out;
}

const char16_t* TextPool::Locate(Ref ref) const {
    if (!IsOld(ref))
        return units.data() + (ref & offsetBits);
    const char16_t* at = old.data() + (ref & offsetBits);
    if (at[0] != movedMark)
        return at;
    const Ref moved = static_cast<Ref>(at[1]) | (static_cast<Ref>(at[2]) << 16);
    return units.data() + (moved & offsetBits);
}

QStringView TextPool::View(Ref ref) const {
    if (ref == emptyText)
        return QStringView();
    return TextAt(Locate(ref));
}

void TextPool::Release(Ref ref) {
    // A text of the old array is dropped with it; only the new one counts waste.
    if (ref == emptyText || IsOld(ref) || (units[ref & offsetBits] & sharedFlag) != 0)
        return;
    waste += FootprintAt(units.data() + (ref & offsetBits));
    // A released text must not be handed out again: Compact would not keep it.
    const QStringView text = View(ref);
    if (text.size() <= sharedLength) {
        std::uint32_t hash = 0;
        Recent* slot = RecentSlot(text, hash);
        if (slot->ref == ref)
            *slot = Recent{};
    }
}

bool TextPool::Wasteful() const {
    // Half the array, and enough of it that compacting often cannot cost more than the waste.
    return waste >= (std::size_t{1} << 15) && waste * 2 >= units.size();
}

void TextPool::Compact(std::vector<Ref>& refs) {
    BeginCompact();
    for (Ref& ref : refs)
        Keep(ref);
    EndCompact();
}

void TextPool::BeginCompact() {
    if (Compacting())
        return;
    const std::size_t live = units.size() - std::min(waste, units.size());
    old = std::move(units);
    units = UnitArray();
    units.reserve(std::max(live, minFootprint));
    units.resize(minFootprint);
    generation ^= generationBit;
    waste = 0;
    // The remembered texts are in the old array, where nothing may be added.
    recent = {};
}

void TextPool::Keep(Ref& ref) {
    if (ref == emptyText || !IsOld(ref))
        return;
    char16_t* at = old.data() + (ref & offsetBits);
    if (at[0] == movedMark) { // a shared text met before
        ref = static_cast<Ref>(at[1]) | (static_cast<Ref>(at[2]) << 16);
        return;
    }
    const std::size_t footprint = FootprintAt(at);
    const Ref to = static_cast<Ref>(units.size()) | generation;
    units.append(at, footprint);
    at[0] = movedMark;
    at[1] = static_cast<char16_t>(to & 0xffff);
    at[2] = static_cast<char16_t>(to >> 16);
    ref = to;
}

void TextPool::EndCompact() {
    old = UnitArray();
}
