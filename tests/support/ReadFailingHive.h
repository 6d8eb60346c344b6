#pragma once

#include "core/store/Hive.h"

// A hive over another one whose n-th operation from arming fails as a damaged page does: a
// store read error, and nothing done. Every operation but the batch brackets counts, since
// each of them looks its key up first. The operations before and after it go through.
class ReadFailingHive : public Hive {
public:
    explicit ReadFailingHive(Hive& wrapped) : inner(wrapped) {}

    // 0 disarms.
    void FailOperation(int n) {
        failAt = n;
        done = 0;
    }

    bool CreateKey(const std::string& path, bool* created) override;
    bool KeyExists(const std::string& path) override;
    std::optional<std::vector<std::string>> SubKeys(const std::string& path) override;
    bool DeleteKey(const std::string& path) override;
    bool SetValue(const std::string& path, const std::string& name, const HiveValue& value) override;
    std::optional<HiveValue> GetValue(const std::string& path, const std::string& name) override;
    std::optional<std::vector<std::pair<std::string, HiveValue>>> Values(const std::string& path) override;
    bool SaveSubtree(const std::string& path, const std::string& file) override;
    bool BeginBatch(bool write) override { return inner.BeginBatch(write); }
    bool EndBatch(bool commit) override { return inner.EndBatch(commit); }
    bool LastBatchWasBusy() const override { return inner.LastBatchWasBusy(); }

private:
    // True when this operation is the one to fail (noted as a read error).
    bool Fails();

    Hive& inner;
    int failAt = 0;
    int done = 0;
};
