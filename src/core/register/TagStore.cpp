#include "core/register/TagStore.h"

#include <algorithm>
#include <string_view>

namespace {

// Names exactly one key below the register, whatever else the name holds.
bool NamesOneKey(const std::string& tag) { return !tag.empty() && tag.find('\\') == std::string::npos; }

} // namespace

TagStore::TagStore(Hive& userHive) : RegistryBranch(userHive, "\\eTag") {}

TagStore::~TagStore() = default;

int TagStore::EnumerateTags(std::vector<std::string>& names) { return EnumSubKeys(std::string(), names); }

bool TagStore::CanWrite(const std::string& tag) {
    return IsSafeKeyName(tag) || (NamesOneKey(tag) && OpenKey("\\" + tag));
}

bool TagStore::WriteRecord(const std::string& tag, const TagRecord* record, bool* created) {
    if (!record || !CanWrite(tag))
        return false;
    // Room kept from record to record: an import writes a million.
    if (recordValues.empty())
        recordValues = {{"LicNo", StringValue({})}, {"CarType", DwordValue(0)}};
    recordValues[0].second.data.assign(record->plate);
    recordValues[1].second = DwordValue(static_cast<std::uint32_t>(VehicleNumber(record->carType)));
    recordPath.assign(kSuiteKey).append(subPath).append("\\").append(tag);
    return hive.WriteKey(recordPath, recordValues, created); // the record is either old or new, never half-written
}

bool TagStore::WriteMark(const std::string& tag, std::uint32_t value) {
    if (!NamesOneKey(tag))
        return false;
    auto key = OpenKey("\\" + tag);
    return key && key->SetDword("Mark", value);
}

bool TagStore::WriteUseOk(const std::string& tag, std::uint32_t value) {
    if (!NamesOneKey(tag))
        return false;
    auto key = OpenKey("\\" + tag);
    return key && key->SetDword("UseOK", value);
}

namespace {

// Whether name is the lower-case ASCII name folded, without a folded copy: a load compares
// four names for each of a million tags.
bool IsFoldedName(const std::string& name, std::string_view lower) {
    return name.size() == lower.size() && std::equal(name.begin(), name.end(), lower.begin(), [](char c, char l) {
               return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == l;
           });
}

// The record's fields from its key's values; values of another name or type are passed over.
void FillFromValues(const Hive::KeyValues& values, TagRecord& record) {
    std::string plate;
    std::uint32_t carType = 1, mark = 0, useOk = 0;
    for (const auto& [name, value] : values) {
        if (IsFoldedName(name, "licno"))
            plate = StringThroughBuffer(value, TagStore::kPlateBufferBytes).value_or(std::string());
        else if (IsFoldedName(name, "cartype"))
            carType = AsDword(value).value_or(carType);
        else if (IsFoldedName(name, "mark"))
            mark = AsDword(value).value_or(mark);
        else if (IsFoldedName(name, "useok"))
            useOk = AsDword(value).value_or(useOk);
    }
    record.plate = plate;
    record.carType = VehicleOfNumber(static_cast<std::int32_t>(carType));
    record.marked = mark == 1;
    record.useOk = useOk == 1;
}

} // namespace

bool TagStore::ReadRecord(const std::string& tag, TagRecord* record) {
    if (!record || !NamesOneKey(tag))
        return false;
    // One read of all values.
    auto values = hive.Values(FullPath("\\" + tag));
    if (!values)
        return false;
    FillFromValues(*values, *record);
    return true;
}

bool TagStore::ReadAllRecords(const std::function<void(const TagRecord& record)>& each) {
    const int errors = hive.StoreErrors();
    TagRecord record;
    const bool read = hive.ForEachSubKey(FullPath(std::string()), [&](const std::string& name, Hive::KeyValues& values) {
        record.tagId = name;
        FillFromValues(values, record);
        each(record);
    });
    // A register that is not there yet is an empty one.
    return read || hive.StoreErrors() == errors;
}

bool TagStore::DeleteTag(const TagRecord& record) {
    if (!NamesOneKey(record.tagId))
        return false;
    int errors = hive.StoreErrors();
    if (!OpenKey("\\" + record.tagId))
        return hive.StoreErrors() == errors; // gone only when it was truly missing, not unreadable
    return DeleteTree("\\" + record.tagId);
}

void TagStore::Reset(TagRecord& record) {
    record.plate.clear();
    record.carType = VehicleType::Car;
    record.marked = false;
    record.useOk = false;
}
