#include "core/reader/RecentTagFilter.h"

bool RecentTagFilter::Admit(std::string_view text, std::uint32_t nowMs) {
    if (text.empty())
        return false;
    Slot* freeSlot = nullptr;
    for (Slot& slot : recent) {
        if (slot.stamp == 0) {
            if (freeSlot == nullptr)
                freeSlot = &slot;
            continue;
        }
        const std::uint32_t age = nowMs - slot.stamp;
        if (slot.text == text) {
            if (age < repeatWindowMs)
                return false;
            slot.stamp = nowMs;
            return true;
        }
        // Freed here but not reused in this call: the free slot must have been free on arrival.
        if (age > expiryMs)
            slot.stamp = 0;
    }
    if (freeSlot != nullptr) {
        freeSlot->text.assign(text);
        freeSlot->stamp = nowMs;
    }
    return true;
}

void RecentTagFilter::Clear() {
    for (Slot& slot : recent)
        slot = Slot{};
}
