#pragma once

#include "core/register/VehicleType.h"

#include <string>

// One register entry: a tag number and its vehicle.
struct TagRecord {
    std::string tagId;
    std::string plate;
    VehicleType carType = VehicleType::Car;
    bool marked = false; // the operator's "*"
    bool useOk = false;  // confirmed for use, "Y"
};
