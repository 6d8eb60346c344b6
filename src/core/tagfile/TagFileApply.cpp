#include "core/tagfile/TagFileApply.h"

#include "core/register/PlateList.h"
#include "core/register/TagRecord.h"
#include "core/register/TagStore.h"
#include "core/store/BatchWriter.h"
#include "core/text/TextFileLines.h"

#include <algorithm>

const char* TagLineOutcomeText(TagLineOutcome outcome) {
    switch (outcome) {
    case TagLineOutcome::Stored:
        return "stored";
    case TagLineOutcome::Empty:
        return "empty";
    case TagLineOutcome::Malformed:
        return "malformed";
    case TagLineOutcome::TagTooShort:
        return "tag too short";
    case TagLineOutcome::TagTooLong:
        return "tag too long";
    case TagLineOutcome::Undecodable:
        return "undecodable";
    case TagLineOutcome::RefusedName:
        return "refused name";
    case TagLineOutcome::StoreFailure:
        return "store failure";
    }
    return "";
}

TagFileReading ReadTagFileLines(std::string_view bytes, const WorkStep& step) {
    TagFileReading reading;
    reading.entries.reserve(size_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1); // never moved while it grows
    // Each line is classified as it is decoded: the file's lines are never all held at once.
    (void)DecodeTextFileLines(
        bytes,
        [&reading](size_t index, std::optional<std::string>& text) {
            const int number = int(index + 1);
            if (!text) {
                reading.passedOver.emplace_back(number, TagLineOutcome::Undecodable);
                return;
            }
            TagFileEntry entry{number, {}};
            switch (TagFileLine::Classify(*text, entry.line)) {
            case TagFileLine::Verdict::Ok:
                reading.entries.push_back(std::move(entry));
                break;
            case TagFileLine::Verdict::Empty:
                break;
            case TagFileLine::Verdict::Malformed:
                reading.passedOver.emplace_back(number, TagLineOutcome::Malformed);
                break;
            case TagFileLine::Verdict::TagTooShort:
                reading.passedOver.emplace_back(number, TagLineOutcome::TagTooShort);
                break;
            case TagFileLine::Verdict::TagTooLong:
                reading.passedOver.emplace_back(number, TagLineOutcome::TagTooLong);
                break;
            }
        },
        step);
    return reading;
}

std::vector<TagLineOutcome> StoreTagFileEntries(TagStore& store, const std::vector<TagFileEntry>& entries,
                                                const std::function<bool()>& retry, const WorkStep& step,
                                                size_t* newTags) {
    Hive& hive = store.GetHive();
    size_t created = 0; // a batch run again counts its new tags twice: an upper bound
    const int readErrors = hive.ReadErrors();
    BatchWriter writer(hive, 1000, retry);
    // Once a read failed, what the store holds is in doubt: nothing further is written.
    writer.StopWhen([&hive, readErrors] { return hive.ReadErrors() != readErrors; });
    TagRecord record; // one for all entries: its strings keep their room
    const std::vector<bool> written = writer.RunInKeyOrder(
        entries.size(), [&entries](size_t i) { return std::string_view(entries[i].line.tagId); },
        [&](size_t i, size_t position) {
            if (step)
                step(position);
            const TagFileLine& line = entries[i].line;
            record.tagId = line.tagId;
            record.plate = line.plate;
            record.carType = line.carType;
            bool isNew = false;
            const bool stored = store.WriteRecord(line.tagId, &record, &isNew);
            created += stored && isNew ? 1 : 0;
            return stored;
        },
        [&step] {
            if (step)
                step(0);
        });
    if (newTags)
        *newTags = created;
    std::vector<TagLineOutcome> outcomes(entries.size(), TagLineOutcome::Stored);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (written[i])
            continue;
        outcomes[i] =
            store.CanWrite(entries[i].line.tagId) ? TagLineOutcome::StoreFailure : TagLineOutcome::RefusedName;
    }
    return outcomes;
}

std::vector<TagCheckFinding> CheckTagFileLine(TagStore& store, PlateList& cars, PlateList& motorcycles,
                                              const TagFileLine& line) {
    using Kind = TagCheckFinding::Kind;
    std::vector<TagCheckFinding> findings;
    PlateList& plates = IsMotorcycle(line.carType) ? motorcycles : cars;
    auto readErrors = [&] {
        return store.GetHive().ReadErrors() + cars.GetHive().ReadErrors() + motorcycles.GetHive().ReadErrors();
    };
    const int errorsBefore = readErrors();
    const bool plateFound = line.plate.empty() || plates.Exists(line.plate);
    const bool writable = store.CanWrite(line.tagId);
    TagRecord stored;
    const bool known = writable && store.ReadRecord(line.tagId, &stored);
    // What could not be read is neither missing, refused nor new.
    if (readErrors() != errorsBefore)
        return {{Kind::Unreadable, "UNREADABLE => TAG:" + line.tagId + " NO:" + line.plate}};
    if (!plateFound)
        findings.push_back({Kind::PlateNotFound, std::string("NOT FOUND(") + (IsMotorcycle(line.carType) ? "2" : "1") +
                                                     ") => NO:" + line.plate});
    // A tag the import would refuse is no new tag.
    if (!writable) {
        findings.push_back({Kind::Refused, "REFUSED => TAG:" + line.tagId + " NO:" + line.plate});
        return findings;
    }
    if (!known)
        findings.push_back({Kind::New, "NEW => TAG:" + line.tagId + " NO:" + line.plate});
    else if (stored.plate != line.plate)
        findings.push_back({Kind::Change, "CHANGE => TAG:" + line.tagId + " NO:" + stored.plate + " => " + line.plate});
    return findings;
}
