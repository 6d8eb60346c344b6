#pragma once

#include <cstdint>
#include <string>

// One register entry: a tag number and its vehicle.
struct TagRecord {
    std::string tagId;
    std::string plate;
    std::int32_t carType = 1; // 1 car, 2 motorcycle; other stored values show as a car
    bool marked = false;      // the operator's "*"
    bool useOk = false;       // confirmed for use, "Y"
};
