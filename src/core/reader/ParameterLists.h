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
ParameterList WorkMode();       // 1054
ParameterList Region();         // 1051
ParameterList RfPower();        // 1052
ParameterList FilterTime();     // 1055
ParameterList TriggerTime();    // 1059
ParameterList OnOff();          // 1056 whitelist switch, 1057 relay switch
ParameterList RelayValidTime(); // 1058: suggestions only; its value is the number typed

inline constexpr const char* relayValidTimeStart = "2";
inline constexpr int relayValidTimeDigits = 3;

// The index of the first entry carrying value; 0 (the first entry) when none does, so a value
// the lists do not know shows the first entry.
int IndexOfValue(const ParameterList& list, int value);
} // namespace ParameterLists
