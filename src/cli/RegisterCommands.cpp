#include "cli/RegisterCommands.h"

#include "cli/CommandGroup.h"
#include "cli/RegisterAccess.h"
#include "core/register/PlateList.h"
#include "core/register/TagStore.h"
#include "core/store/HiveFiles.h"
#include "core/store/RegistryBranch.h"
#include "core/store/WholeFileWriter.h"
#include "core/tagfile/TagFileApply.h"
#include "core/tagfile/TagFileText.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

std::optional<std::string> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return bytes;
}

const char* VehicleWord(VehicleType type) {
    return IsMotorcycle(type) ? "motorcycle" : "car";
}

int List(Hive& hive, RowChoice rows, bool json) {
    const std::vector<TagRecord> records = ReadRegister(hive, rows);
    if (json) {
        std::cout << '[';
        for (size_t i = 0; i < records.size(); ++i) {
            const TagRecord& r = records[i];
            std::cout << (i ? "," : "") << "\n  {\"tag\": " << JsonText(r.tagId) << ", \"plate\": " << JsonText(r.plate)
                      << ", \"type\": \"" << VehicleWord(r.carType)
                      << "\", \"marked\": " << (r.marked ? "true" : "false")
                      << ", \"confirmed\": " << (r.useOk ? "true" : "false") << '}';
        }
        std::cout << (records.empty() ? "]\n" : "\n]\n");
        return exitDone;
    }
    for (const TagRecord& r : records)
        std::cout << r.tagId << '\t' << r.plate << '\t' << VehicleWord(r.carType) << '\t' << (r.marked ? "*" : "")
                  << '\t' << (r.useOk ? "Y" : "") << '\n';
    return exitDone;
}

// Tells for each entry whether its tag is new or its plate or type change, as the store and the
// lines before it leave them.
struct Novelty {
    std::vector<bool> isNew, changes;
};

Novelty Classify(TagStore& store, const std::vector<TagFileEntry>& entries) {
    Novelty novelty{std::vector<bool>(entries.size()), std::vector<bool>(entries.size())};
    std::map<std::string, std::pair<std::string, VehicleType>> seen;
    HiveBatch snapshot(store.GetHive(), false);
    for (size_t i = 0; i < entries.size(); ++i) {
        const TagFileLine& line = entries[i].line;
        auto found = seen.find(line.tagId);
        if (found == seen.end()) {
            TagRecord stored;
            if (store.ReadRecord(line.tagId, &stored))
                found = seen.emplace(line.tagId, std::make_pair(stored.plate, ShownVehicle(stored.carType))).first;
        }
        novelty.isNew[i] = found == seen.end();
        novelty.changes[i] = !novelty.isNew[i] && found->second != std::make_pair(line.plate, line.carType);
        seen[line.tagId] = {line.plate, line.carType};
    }
    return novelty;
}

int Import(Hive& hive, const std::vector<std::string>& words, const CommandArgs& args) {
    const std::string& path = words[0];
    if (IsHiveFile(hive, path))
        return UsageError("register import", "refusing to read the hive's own file " + path);
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return UsageError("register import", "cannot read " + path);

    TagStore store(hive);
    const TagFileReading reading = ReadTagFileLines(*bytes);
    std::ostringstream report;
    std::vector<std::pair<int, TagLineOutcome>> notApplied = reading.passedOver;
    int applied = 0, added = 0, changed = 0, failed = 0;

    if (args.Has("--check")) {
        PlateList cars(hive, VehicleType::Car), motorcycles(hive, VehicleType::Motorcycle);
        for (const TagFileEntry& entry : reading.entries)
            for (const TagCheckFinding& finding : CheckTagFileLine(store, cars, motorcycles, entry.line))
                std::cout << finding.text << '\n';
    } else {
        const Novelty novelty = Classify(store, reading.entries);
        const std::vector<TagLineOutcome> outcomes = StoreTagFileEntries(store, reading.entries);
        for (size_t i = 0; i < outcomes.size(); ++i) {
            if (outcomes[i] != TagLineOutcome::Stored) {
                notApplied.emplace_back(reading.entries[i].lineNumber, outcomes[i]);
                ++failed;
                continue;
            }
            ++applied;
            added += novelty.isNew[i];
            changed += novelty.changes[i];
        }
    }
    std::sort(notApplied.begin(), notApplied.end());
    for (const auto& [number, outcome] : notApplied)
        report << "line " << number << ": " << TagLineOutcomeText(outcome) << '\n';
    const int skipped = int(reading.passedOver.size());
    if (!args.Has("--check"))
        report << "applied " << applied << ", new " << added << ", changed " << changed << ", skipped " << skipped
               << ", failed " << failed << '\n';

    const std::vector<std::string> reportPaths = args.All("--report");
    if (reportPaths.empty()) {
        std::cerr << report.str();
    } else if (!WriteWholeFile(reportPaths.back(), report.str())) {
        std::cerr << report.str();
        return Failure(exitDifferences, "cannot write the report " + reportPaths.back());
    }
    return failed > 0 ? exitDifferences : exitDone;
}

int Export(Hive& hive, const std::string& path, RowChoice rows, bool utf8) {
    if (IsHiveFile(hive, path))
        return UsageError("register export", "refusing to write over the hive's own file " + path);
    std::vector<TagFileRow> fileRows;
    for (const TagRecord& record : ReadRegister(hive, rows))
        fileRows.push_back({record.tagId, record.plate, record.carType});
    const TagFileText text = TagFileTextOfRows(fileRows);
    const TagFileOutput file = TagFileOutputOf(text, utf8);
    std::string bytes(file.mark);
    bytes += file.body;
    if (!WriteWholeFile(path, bytes))
        return Failure(exitDifferences, "cannot write " + path + "; an existing file is left as it was");
    if (utf8 || text.withoutBig5.empty())
        return exitDone;
    for (const std::string& tag : text.withoutBig5)
        std::cerr << "left out (no Big5 form): " << tag << '\n';
    std::cerr << "lumetra-cli: " << text.withoutBig5.size() << " row(s) left out; --utf8 keeps them\n";
    return exitDifferences;
}

std::optional<bool> OnOff(const std::string& word) {
    if (word == "on")
        return true;
    if (word == "off")
        return false;
    return std::nullopt;
}

int Flag(Hive& hive, const std::string& command, const std::string& tag, bool on) {
    TagStore store(hive);
    const bool written = command == "mark" ? store.WriteMark(tag, on ? 1 : 0) : store.WriteUseOk(tag, on ? 1 : 0);
    if (written)
        return exitDone;
    TagRecord record;
    if (!store.ReadRecord(tag, &record))
        return Failure(exitDifferences, tag + ": not in the register");
    return Failure(exitDifferences, tag + ": cannot be written");
}

int Delete(Hive& hive, const std::vector<std::string>& tags) {
    TagStore store(hive);
    int failed = 0;
    for (const std::string& tag : tags) {
        TagRecord record;
        record.tagId = tag;
        if (!store.ReadRecord(tag, &record)) {
            std::cerr << "lumetra-cli: " << tag << ": not in the register\n";
            ++failed;
        } else if (!store.DeleteTag(record)) {
            std::cerr << "lumetra-cli: " << tag << ": cannot be deleted\n";
            ++failed;
        }
    }
    return failed > 0 ? exitDifferences : exitDone;
}

} // namespace

int RunRegisterCommand(const std::string& hiveOption, const std::vector<std::string>& args) {
    static const std::map<std::string, CommandShape> shapes{
        {"list", {0, 0, {{"--marked", "--unmarked", "--json"}, {}}}},
        {"import", {1, 1, {{"--check"}, {"--report"}}}},
        {"export", {1, 1, {{"--marked", "--unmarked", "--utf8"}, {}}}},
        {"set", {3, 3, {}}},
        {"delete", {1, SIZE_MAX, {}}},
        {"mark", {2, 2, {}}},
        {"confirm", {2, 2, {}}},
    };
    int status = exitDone;
    const std::optional<ChosenCommand> chosen = ChooseCommand("register", args, shapes, status);
    if (!chosen)
        return status;
    const auto& [name, command, parsed] = *chosen;
    const std::vector<std::string>& words = parsed.words;
    const std::optional<RowChoice> rows = ChosenRows(parsed);
    if (!rows)
        return UsageError(command, "--marked and --unmarked exclude each other");
    if (args.size() > 1 && (name == "set" || name == "delete" || name == "mark" || name == "confirm")) {
        const size_t tagWords = name == "delete" ? words.size() : 1;
        for (size_t i = 0; i < tagWords; ++i)
            if (!IsSafeKeyName(words[i]))
                return UsageError(command, "not a usable tag id: \"" + words[i] + "\"");
    }
    std::optional<bool> on;
    if (name == "mark" || name == "confirm") {
        on = OnOff(words[1]);
        if (!on)
            return UsageError(command, "expected on or off, not " + words[1]);
    }
    if (name == "set" && words[2] != "car" && words[2] != "motorcycle")
        return UsageError(command, "expected car or motorcycle, not " + words[2]);

    // Only these may create a missing hive.
    const bool writes = name == "import" || name == "set";
    std::unique_ptr<Hive> hive = OpenCommandHive(hiveOption, writes && !parsed.Has("--check"));
    if (!hive)
        return exitUnavailable;
    if (name == "list")
        return List(*hive, *rows, parsed.Has("--json"));
    if (name == "import")
        return Import(*hive, words, parsed);
    if (name == "export")
        return Export(*hive, words[0], *rows, parsed.Has("--utf8"));
    if (name == "set") {
        TagStore store(*hive);
        const TagRecord record{words[0], words[1],
                               words[2] == "motorcycle" ? VehicleType::Motorcycle : VehicleType::Car, false, false};
        if (!store.WriteRecord(record.tagId, &record))
            return Failure(exitDifferences, words[0] + ": cannot be written");
        return exitDone;
    }
    if (name == "delete")
        return Delete(*hive, words);
    return Flag(*hive, name, words[0], *on);
}
