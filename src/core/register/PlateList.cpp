#include "core/register/PlateList.h"

PlateList::PlateList(Hive& userHive, int carType)
    : RegistryBranch(userHive, carType == 2 ? "\\LicensePlate\\Data2" : "\\LicensePlate\\Data") {}

PlateList::~PlateList() = default;

bool PlateList::Exists(const std::string& plate) {
    if (!IsSafeKeyName(plate))
        return false;
    return OpenKey("\\" + plate).has_value();
}

PlateList::SetTagResult PlateList::SetTag(const std::string& plate, const std::string& tag, bool onlyIfEmpty) {
    if (!IsSafeKeyName(plate))
        return SetTagResult::NoPlate;
    const int errors = hive.StoreErrors();
    auto key = OpenKey("\\" + plate);
    if (!key)
        return hive.StoreErrors() == errors ? SetTagResult::NoPlate : SetTagResult::Failed;
    if (onlyIfEmpty) {
        // A value too long for the suite's 60-byte read counts as set: never overwrite what we cannot read.
        auto raw = hive.GetValue(key->Path(), "eTag");
        if (hive.StoreErrors() != errors)
            return SetTagResult::Failed; // unreadable is not empty
        if (raw) {
            auto current = key->GetString("eTag", 60);
            if (!current || !current->empty())
                return SetTagResult::KeptExisting;
        }
    }
    return key->SetString("eTag", tag) ? SetTagResult::Written : SetTagResult::Failed;
}
