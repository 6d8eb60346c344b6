#pragma once

#include "core/register/TagRecord.h"
#include "core/store/RegistryBranch.h"

#include <functional>
#include <string>
#include <vector>

// The register in the hive: one key per tag below "Software\Vessory\eTag", holding "LicNo",
// "CarType", "Mark" and "UseOK". Other programs of the suite read the same keys.
// New tags are made only from ids without "\" and control characters, so user text never
// addresses another key; a key that another program of the suite named with control characters
// is still read, written, flagged and deleted by its exact name.
class TagStore : public RegistryBranch {
public:
    explicit TagStore(Hive& userHive);
    ~TagStore() override;

    // The number of tags listed; -1 (none listed) when the store failed to read them.
    int EnumerateTags(std::vector<std::string>& names);
    // Whether WriteRecord takes the tag: a safe id, or the exact name of a key that exists.
    bool CanWrite(const std::string& tag);
    // Writes "LicNo" and "CarType" only; an existing tag keeps its stored flags. created, when
    // given, tells whether the tag was new.
    [[nodiscard]] bool WriteRecord(const std::string& tag, const TagRecord* record, bool* created = nullptr);
    // Never creates a tag: false when its key does not exist.
    [[nodiscard]] bool WriteMark(const std::string& tag, std::uint32_t value);
    [[nodiscard]] bool WriteUseOk(const std::string& tag, std::uint32_t value);
    // False (record unchanged) when the tag is empty, the record absent or the key missing.
    bool ReadRecord(const std::string& tag, TagRecord* record);
    // Every record of the register, in EnumerateTags order, as ReadRecord reads it, in one
    // streamed read. False when the store failed to read them: the records handed to each so
    // far are then no whole register.
    bool ReadAllRecords(const std::function<void(const TagRecord& record)>& each);
    // Deletes the tag's key with everything below it; true when it is gone (or was never there).
    bool DeleteTag(const TagRecord& record);
    static void Reset(TagRecord& record);

    static constexpr size_t kPlateBufferBytes = 60;

private:
    Hive::KeyValues recordValues;
    std::string recordPath;
};
