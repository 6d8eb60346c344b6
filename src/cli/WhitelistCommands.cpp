#include "cli/WhitelistCommands.h"

#include "cli/CommandGroup.h"
#include "cli/ReaderJobs.h"
#include "cli/RegisterAccess.h"
#include "core/reader/HexText.h"
#include "core/store/WholeFileWriter.h"
#include "core/tagfile/TagFileLine.h"
#include "link/ReaderLink.h"

#include <iostream>
#include <map>
#include <set>
#include <sstream>

namespace {

// The reader's whitelist in its order; nullopt when the count or an entry could not be read.
std::optional<std::vector<std::string>> ReadWhitelist(ReaderLink& link, const ReaderAddress& address) {
    const std::optional<int> count = link.TryReadWhitelistCount();
    if (!count)
        return std::nullopt;
    std::vector<std::string> ids;
    ids.reserve(size_t(*count));
    for (int i = 0; i < *count; ++i) {
        ShowReaderProgress(address, "reading", i, *count);
        const std::optional<std::string> id = link.ReadWhitelistEntry(i);
        if (!id)
            return std::nullopt;
        if (!id->empty())
            ids.push_back(*id);
    }
    return ids;
}

struct Difference {
    std::vector<std::string> missing; // in the register, not on the reader
    std::vector<std::string> extra;   // on the reader, not in the register
};

Difference Compare(const std::vector<std::string>& wanted, const std::vector<std::string>& held) {
    const std::set<std::string> heldSet(held.begin(), held.end());
    const std::set<std::string> wantedSet(wanted.begin(), wanted.end());
    Difference difference;
    std::set<std::string> listed;
    for (const std::string& id : wanted)
        if (heldSet.count(id) == 0 && listed.insert(id).second)
            difference.missing.push_back(id);
    for (const std::string& id : held)
        if (wantedSet.count(id) == 0 && listed.insert(id).second)
            difference.extra.push_back(id);
    return difference;
}

std::string JsonList(const std::vector<std::string>& ids) {
    std::string out = "[";
    for (size_t i = 0; i < ids.size(); ++i)
        out += (i ? ", " : "") + JsonText(ids[i]);
    return out + "]";
}

// Prints every reader's output under its heading (or the JSON array), then one summary line
// per reader on standard error; returns the worst status.
int Report(const std::vector<ReaderOutcome>& outcomes, bool json, bool headings) {
    int status = exitDone;
    if (json) {
        std::cout << '[';
        for (size_t i = 0; i < outcomes.size(); ++i) {
            const ReaderOutcome& o = outcomes[i];
            std::cout << (i ? "," : "") << "\n  {\"reader\": " << JsonText(o.address.Text()) << ", \"ok\": "
                      << (o.status == exitDone ? "true" : "false");
            if (!o.json.empty())
                std::cout << ", " << o.json;
            if (!o.opened)
                std::cout << ", \"error\": " << JsonText(o.summary);
            std::cout << '}';
        }
        std::cout << "\n]\n";
    } else {
        for (const ReaderOutcome& o : outcomes) {
            if (headings && o.opened)
                std::cout << "reader " << o.address.Text() << '\n';
            std::cout << o.output;
        }
    }
    for (const ReaderOutcome& o : outcomes) {
        std::cerr << "reader " << o.address.Text() << ": " << o.summary << '\n';
        status = std::max(status, o.status);
    }
    return status;
}

int Count(const std::vector<ReaderAddress>& readers, bool json) {
    return Report(RunOnReaders(readers,
                               [](ReaderLink& link, ReaderOutcome& outcome) {
                                   const std::optional<int> count = link.TryReadWhitelistCount();
                                   if (!count) {
                                       outcome.status = exitDifferences;
                                       outcome.summary = "count not read";
                                       return;
                                   }
                                   outcome.output = outcome.address.Text() + ": " + std::to_string(*count) + '\n';
                                   outcome.json = "\"count\": " + std::to_string(*count);
                                   outcome.summary = std::to_string(*count) + " entries";
                               }),
                  json, false);
}

int Export(const ReaderAddress& reader, const std::string& path) {
    return Report(RunOnReaders({reader},
                               [&path](ReaderLink& link, ReaderOutcome& outcome) {
                                   const auto ids = ReadWhitelist(link, outcome.address);
                                   if (!ids) {
                                       outcome.status = exitDifferences;
                                       outcome.summary = "whitelist not read whole; " + path + " not written";
                                       return;
                                   }
                                   std::string text;
                                   for (const std::string& id : *ids)
                                       text += TagFileLine::Format(id, "", VehicleType::Car);
                                   if (!WriteWholeFile(path, text)) {
                                       outcome.status = exitDifferences;
                                       outcome.summary = "cannot write " + path;
                                       return;
                                   }
                                   outcome.summary = std::to_string(ids->size()) + " entries written to " + path;
                               }),
                  false, false);
}

std::vector<std::string> Ids(const std::vector<TagRecord>& records) {
    std::vector<std::string> ids;
    ids.reserve(records.size());
    for (const TagRecord& record : records)
        ids.push_back(record.tagId);
    return ids;
}

int Diff(const std::vector<ReaderAddress>& readers, const std::vector<std::string>& wanted, bool json) {
    return Report(RunOnReaders(readers,
                               [&wanted](ReaderLink& link, ReaderOutcome& outcome) {
                                   const auto held = ReadWhitelist(link, outcome.address);
                                   if (!held) {
                                       outcome.status = exitDifferences;
                                       outcome.summary = "whitelist not read";
                                       return;
                                   }
                                   const Difference d = Compare(wanted, *held);
                                   for (const std::string& id : d.missing)
                                       outcome.output += "+ " + id + '\n';
                                   for (const std::string& id : d.extra)
                                       outcome.output += "- " + id + '\n';
                                   outcome.json = "\"missing\": " + JsonList(d.missing) +
                                                  ", \"extra\": " + JsonList(d.extra);
                                   const bool same = d.missing.empty() && d.extra.empty();
                                   outcome.status = same ? exitDone : exitDifferences;
                                   outcome.summary = same ? "matches" :
                                                            std::to_string(d.missing.size()) + " missing, " +
                                                                std::to_string(d.extra.size()) + " extra";
                               }),
                  json, true);
}

int Push(const std::vector<ReaderAddress>& readers, const std::vector<std::string>& wanted, bool sync) {
    return Report(
        RunOnReaders(readers,
                     [&wanted, sync](ReaderLink& link, ReaderOutcome& outcome) {
                         const auto held = ReadWhitelist(link, outcome.address);
                         if (!held) {
                             outcome.status = exitDifferences;
                             outcome.summary = "whitelist not read; nothing sent";
                             return;
                         }
                         const Difference d = Compare(wanted, *held);
                         const int total = int(d.missing.size() + (sync ? d.extra.size() : 0));
                         int added = 0, deleted = 0, failed = 0, done = 0;
                         for (const std::string& id : d.missing) {
                             ShowReaderProgress(outcome.address, "writing", done++, total);
                             if (link.AddWhitelistEntry(id)) {
                                 ++added;
                             } else {
                                 ++failed;
                                 outcome.output += "not added: " + id + '\n';
                             }
                         }
                         for (size_t i = 0; sync && i < d.extra.size(); ++i) {
                             ShowReaderProgress(outcome.address, "writing", done++, total);
                             if (link.DeleteWhitelistEntry(d.extra[i])) {
                                 ++deleted;
                             } else {
                                 ++failed;
                                 outcome.output += "not deleted: " + d.extra[i] + '\n';
                             }
                         }
                         outcome.status = failed > 0 ? exitDifferences : exitDone;
                         outcome.summary = "added " + std::to_string(added) + ", deleted " + std::to_string(deleted) +
                                           ", failed " + std::to_string(failed);
                     }),
        false, false);
}

int Delete(const std::vector<ReaderAddress>& readers, const std::vector<std::string>& ids) {
    return Report(RunOnReaders(readers,
                               [&ids](ReaderLink& link, ReaderOutcome& outcome) {
                                   int deleted = 0, failed = 0;
                                   for (const std::string& id : ids) {
                                       if (link.DeleteWhitelistEntry(id)) {
                                           ++deleted;
                                       } else {
                                           ++failed;
                                           outcome.output += "not deleted: " + id + '\n';
                                       }
                                   }
                                   outcome.status = failed > 0 ? exitDifferences : exitDone;
                                   outcome.summary = "deleted " + std::to_string(deleted) + ", failed " +
                                                     std::to_string(failed);
                               }),
                  false, false);
}

int Clear(const std::vector<ReaderAddress>& readers) {
    return Report(RunOnReaders(readers,
                               [](ReaderLink& link, ReaderOutcome& outcome) {
                                   const bool answered = link.ClearWhitelist();
                                   outcome.status = answered ? exitDone : exitDifferences;
                                   outcome.summary = answered ? "cleared" : "no answer to the clear";
                               }),
                  false, false);
}

} // namespace

int RunWhitelistCommand(const std::string& hiveOption, const std::vector<std::string>& args) {
    static const std::map<std::string, CommandShape> shapes{
        {"count", {0, 0, {{"--json"}, {"--reader"}}}},
        {"export", {1, 1, {{}, {"--reader"}}}},
        {"diff", {0, 0, {{"--marked", "--unmarked", "--json"}, {"--reader"}}}},
        {"push", {0, 0, {{"--marked", "--unmarked", "--sync"}, {"--reader"}}}},
        {"delete", {1, SIZE_MAX, {{}, {"--reader"}}}},
        {"clear", {0, 0, {{"--yes"}, {"--reader"}}}},
    };
    int status = exitDone;
    const std::optional<ChosenCommand> chosen = ChooseCommand("whitelist", args, shapes, status);
    if (!chosen)
        return status;
    const auto& [name, command, parsed] = *chosen;
    const std::vector<std::string>& words = parsed.words;
    std::string error;
    std::vector<ReaderAddress> readers;
    for (const std::string& text : parsed.All("--reader")) {
        const std::optional<ReaderAddress> address = ParseReaderAddress(text, error);
        if (!address)
            return UsageError(command, error);
        readers.push_back(*address);
    }
    if (readers.empty())
        return UsageError(command, "--reader is required");
    if (name == "export" && readers.size() > 1)
        return UsageError(command, "takes one --reader");
    const std::optional<RowChoice> rows = ChosenRows(parsed);
    if (!rows)
        return UsageError(command, "--marked and --unmarked exclude each other");

    if (name == "count")
        return Count(readers, parsed.Has("--json"));
    if (name == "export")
        return Export(readers[0], words[0]);
    if (name == "delete") {
        for (const std::string& id : words)
            if (!HexToBytes(id))
                return UsageError(command, "not a tag id of 2 to 32 capital hexadecimal digits: \"" + id + "\"");
        return Delete(readers, words);
    }
    if (name == "clear") {
        if (!parsed.Has("--yes"))
            return UsageError(command, "clearing a whitelist needs --yes");
        return Clear(readers);
    }
    // diff and push compare with the register.
    std::unique_ptr<Hive> hive = OpenCommandHive(hiveOption, false);
    if (!hive)
        return exitUnavailable;
    const std::vector<std::string> wanted = Ids(ReadRegister(*hive, *rows));
    hive.reset(); // the readers may take long; the hive is not held meanwhile
    if (name == "diff")
        return Diff(readers, wanted, parsed.Has("--json"));
    return Push(readers, wanted, parsed.Has("--sync"));
}
