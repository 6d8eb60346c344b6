#include "core/reader/ParameterLists.h"

#include "core/reader/ParameterIds.h"
#include "core/reader/RegionCodes.h"

namespace ParameterLists {
namespace {

ParameterList Numbers(int first, int last, int start, const char* suffix = "") {
    ParameterList list;
    for (int value = first; value <= last; ++value)
        list.entries.push_back({std::to_string(value) + suffix, value});
    list.startValue = start;
    list.fallback = start;
    return list;
}

} // namespace

ParameterList WorkMode() {
    return {{{"Answer", WorkMode::answer}, {"Active", WorkMode::active}, {"Trigger", WorkMode::trigger}},
            WorkMode::trigger,
            WorkMode::active};
}

ParameterList Region() {
    ParameterList list;
    for (const RegionCode& region : RegionTable())
        list.entries.push_back({region.name, region.index});
    list.startValue = defaultRegionIndex;
    list.fallback = defaultRegionIndex;
    return list;
}

ParameterList RfPower() {
    return Numbers(0, 30, 30, " dBm");
}

ParameterList FilterTime() {
    return Numbers(0, 5, 1);
}

ParameterList TriggerTime() {
    return Numbers(1, 6, 2);
}

ParameterList OnOff() {
    return {{{"OFF", 0}, {"ON", 1}}, 1, 1};
}

ParameterList RelayValidTime() {
    ParameterList list = Numbers(0, 9, 2);
    for (int value = 10; value <= 60; value += 5)
        list.entries.push_back({std::to_string(value), value});
    return list;
}

int IndexOfValue(const ParameterList& list, int value) {
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].value == value)
            return static_cast<int>(i);
    return 0;
}

} // namespace ParameterLists
