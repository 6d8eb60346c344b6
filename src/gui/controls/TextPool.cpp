#include "gui/controls/TextPool.h"

#include <QString>

#include <algorithm>
#include <limits>

namespace {

// A text's first unit: its length when it fits in 14 bits, else the high part of a length
// whose low 16 bits follow; and whether more than one cell uses it. A moved text's first unit
// is movedMark, which no length can give, followed by its new offset.
constexpr char16_t longFlag = 0x8000;
constexpr char16_t sharedFlag = 0x4000;
constexpr char16_t lengthBits = 0x3fff;
constexpr char16_t movedMark = 0xffff;
// Room for the moved mark and a 32-bit offset in every stored text.
constexpr std::size_t minFootprint = 3;

std::size_t HeaderUnits(std::size_t length) {
    return length <= lengthBits ? 1 : 2;
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
        units[slot->ref] |= sharedFlag;
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
    if (start + footprint > std::numeric_limits<Ref>::max())
        return nullptr;
    units.resize(start + footprint);
    char16_t* out = units.data() + start;
    if (header == 1) {
        *out++ = static_cast<char16_t>(length);
    } else {
        *out++ = static_cast<char16_t>(longFlag | (length >> 16));
        *out++ = static_cast<char16_t>(length & 0xffff);
    }
    ref = static_cast<Ref>(start);
    return out;
}

QStringView TextPool::View(Ref ref) const {
    const char16_t first = units[ref];
    if ((first & longFlag) == 0)
        return QStringView(units.data() + ref + 1, first & lengthBits);
    const std::size_t length = (static_cast<std::size_t>(first & lengthBits) << 16) | units[ref + 1];
    return QStringView(units.data() + ref + 2, static_cast<qsizetype>(length));
}

std::size_t TextPool::Footprint(Ref ref) const {
    const QStringView text = View(ref);
    const std::size_t length = static_cast<std::size_t>(text.size());
    return std::max(HeaderUnits(length) + length, minFootprint);
}

void TextPool::Release(Ref ref) {
    if (ref == emptyText || (units[ref] & sharedFlag) != 0)
        return;
    waste += Footprint(ref);
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
    UnitArray kept;
    kept.reserve(units.size() - std::min(waste, units.size()));
    kept.resize(minFootprint);
    for (Ref& ref : refs) {
        if (ref == emptyText)
            continue;
        if (units[ref] == movedMark) { // a shared text met before
            ref = static_cast<Ref>(units[ref + 1]) | (static_cast<Ref>(units[ref + 2]) << 16);
            continue;
        }
        const std::size_t footprint = Footprint(ref);
        const Ref to = static_cast<Ref>(kept.size());
        kept.append(units.data() + ref, footprint);
        units[ref] = movedMark;
        units[ref + 1] = static_cast<char16_t>(to & 0xffff);
        units[ref + 2] = static_cast<char16_t>(to >> 16);
        ref = to;
    }
    units = std::move(kept);
    waste = 0;
    recent = {};
}
