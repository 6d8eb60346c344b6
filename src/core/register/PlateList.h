#pragma once

#include "core/store/RegistryBranch.h"

// One plate list of the plate-recognition product: "\LicensePlate\Data" for cars,
// "\LicensePlate\Data2" for motorcycles. This program only tests plates and sets their tag.
class PlateList : public RegistryBranch {
public:
    PlateList(Hive& userHive, int carType);
    ~PlateList() override;

    bool Exists(const std::string& plate);

    enum class SetTagResult { Written, KeptExisting, NoPlate, Failed };
    // Writes "eTag" = tag into the plate's key; with onlyIfEmpty an existing non-empty tag stays.
    SetTagResult SetTag(const std::string& plate, const std::string& tag, bool onlyIfEmpty);
};
