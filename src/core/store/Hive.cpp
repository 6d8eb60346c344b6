#include "core/store/Hive.h"

bool Hive::ForEachSubKey(const std::string& path,
                         const std::function<void(const std::string& name, KeyValues& values)>& each) {
    const int errors = StoreErrors();
    std::optional<std::vector<std::string>> names = SubKeys(path);
    if (!names)
        return false;
    const std::string prefix = path.empty() ? std::string() : path + "\\";
    KeyValues none;
    for (const std::string& name : *names) {
        std::optional<KeyValues> values = Values(prefix + name);
        if (StoreErrors() != errors)
            return false;
        each(name, values ? *values : none);
        none.clear();
    }
    return true;
}

bool Hive::WriteKey(const std::string& path, const KeyValues& values, bool* created) {
    HiveBatch batch(*this);
    bool ok = CreateKey(path, created);
    for (const auto& [name, value] : values)
        ok = ok && SetValue(path, name, value);
    if (!ok) {
        batch.Rollback();
        return false;
    }
    return batch.Commit();
}

HiveValue DwordValue(std::uint32_t number) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>((number >> (8 * i)) & 0xFFu);
    return {ValueType::Dword, bytes};
}

HiveValue StringValue(const std::string& text) { return {ValueType::String, text}; }

std::optional<std::uint32_t> AsDword(const HiveValue& value) {
    if (value.data.size() != 4)
        return std::nullopt;
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
    return number;
}

std::string FoldName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}
