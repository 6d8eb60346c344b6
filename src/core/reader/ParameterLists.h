#pragma once

#include <string>
#include <vector>

// What the parameter lists of the reader window offer: each entry's text and the value it
// stands for, in the order shown, with the entry selected when the window opens and the value
// written when nothing is selected. Plain data, so the window only renders it.
struct ParameterEntry {
    std::string text;
    int value = 0;
};

struct ParameterList {
    std::vector<ParameterEntry> entries;
    int startValue = 0; // the entry selected when the window opens
    int fallback = 0;   // the value written when nothing is selected
};

namespace ParameterLists {
ParameterList WorkMode();
ParameterList Region();
ParameterList RfPower();
ParameterList FilterTime();
ParameterList TriggerTime();
ParameterList OnOff();          // whitelist switch and relay switch
ParameterList RelayValidTime(); // suggestions only; its value is the number typed

inline constexpr const char* relayValidTimeStart = "2";
inline constexpr int relayValidTimeDigits = 3;

// The index of the first entry carrying value; 0 (the first entry) when none does, so a value
// the lists do not know shows the first entry.
int IndexOfValue(const ParameterList& list, int value);
} // namespace ParameterLists
