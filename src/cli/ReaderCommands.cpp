#include "cli/ReaderCommands.h"

#include "cli/CliCommon.h"
#include "cli/CliHelp.h"
#include "cli/ReaderJobs.h"
#include "core/reader/ParameterIds.h"
#include "core/reader/RegionCodes.h"
#include "link/ReaderLink.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <map>

namespace {

// A parameter the reader window offers: the region, a plain reader parameter, or a byte of the
// extended block.
enum class Kind { Region, Parameter, BlockByte };

struct ParameterName {
    const char* name;
    Kind kind;
    std::size_t at; // the parameter id or the block offset
    int low, high;
};

constexpr ParameterName parameterNames[] = {
    {"region", Kind::Region, 0, 0, 255},
    {"workmode", Kind::Parameter, ParameterId::workMode, WorkMode::answer, WorkMode::trigger},
    {"power", Kind::Parameter, ParameterId::rfPower, 0, 30},
    {"filter", Kind::Parameter, ParameterId::filterTime, 0, 5},
    {"trigger", Kind::Parameter, ParameterId::triggerValidTime, 1, 6},
    {"buzzer", Kind::Parameter, ParameterId::buzzer, 0, 1},
    {"whitelist", Kind::BlockByte, BlockOffset::whitelistSwitch, 0, 1},
    {"relay", Kind::BlockByte, BlockOffset::relaySwitch, 0, 1},
    {"relaytime", Kind::BlockByte, BlockOffset::relayValidTime, 0, 255},
};

const ParameterName* FindName(const std::string& name) {
    for (const ParameterName& p : parameterNames)
        if (name == p.name)
            return &p;
    return nullptr;
}

bool RegionKnown(int index) {
    for (const RegionCode& region : RegionTable())
        if (region.index == index)
            return true;
    return false;
}

void Get(ReaderLink& link, ReaderOutcome& outcome) {
    std::vector<std::pair<std::string, int>> values;
    int failed = 0;
    const int region = link.GetRegion();
    if (region >= 0)
        values.emplace_back("region", region);
    else
        ++failed;
    for (const ParameterName& p : parameterNames) {
        if (p.kind != Kind::Parameter)
            continue;
        const std::optional<int> value = link.GetParameter(static_cast<int>(p.at));
        if (value)
            values.emplace_back(p.name, *value);
        else
            ++failed;
    }
    ExtendedBlock block{};
    if (link.ReadExtendedBlock(block)) {
        for (const ParameterName& p : parameterNames)
            if (p.kind == Kind::BlockByte)
                values.emplace_back(p.name, block[p.at]);
    } else {
        failed += 3;
    }
    for (size_t i = 0; i < values.size(); ++i) {
        outcome.output += values[i].first + "=" + std::to_string(values[i].second) + '\n';
        outcome.json += (i ? ", \"" : "\"") + values[i].first + "\": " + std::to_string(values[i].second);
    }
    outcome.status = failed > 0 ? exitDifferences : exitDone;
    outcome.summary = failed > 0 ? std::to_string(failed) + " value(s) not read" : "read";
}

void Set(ReaderLink& link, ReaderOutcome& outcome, const std::vector<std::pair<const ParameterName*, int>>& settings) {
    // As the reader window writes: stopped while the values change, running again after.
    int failed = 0;
    link.SetRunning(false);
    bool blockChanged = false;
    for (const auto& [parameter, value] : settings) {
        if (parameter->kind == Kind::Region)
            failed += !link.SetRegion(value);
        else if (parameter->kind == Kind::Parameter)
            failed += !link.SetParameter(static_cast<int>(parameter->at), value);
        else
            blockChanged = true;
    }
    if (blockChanged) {
        // Only a block read from the reader goes back, its other bytes as read.
        ExtendedBlock block{};
        if (!link.ReadExtendedBlock(block)) {
            ++failed;
        } else {
            for (const auto& [parameter, value] : settings)
                if (parameter->kind == Kind::BlockByte)
                    block[parameter->at] = static_cast<std::uint8_t>(value);
            failed += !link.WriteExtendedBlock(block);
        }
    }
    link.SetRunning(true);
    outcome.status = failed > 0 ? exitDifferences : exitDone;
    outcome.summary = failed > 0 ? std::to_string(failed) + " write(s) not confirmed" : "written";
}

} // namespace

int RunReaderCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" ||
        (args[0] == "params" && (args.size() == 1 || args[1] == "--help"))) {
        const bool asked = !args.empty() && args.back() == "--help";
        (asked ? std::cout : std::cerr) << HelpText("reader");
        return asked ? exitDone : exitUsage;
    }
    if (args[0] != "params")
        return UsageError("reader", "unknown reader command " + args[0]);
    const std::string& name = args[1];
    if (name != "get" && name != "set")
        return UsageError("reader", "unknown reader params command " + name);
    const std::string command = "reader params " + name;
    const std::vector<std::string> rest(args.begin() + 2, args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        std::cout << HelpText(command);
        return exitDone;
    }
    std::string error;
    const std::optional<CommandArgs> parsed =
        ParseCommandArgs(rest, name == "get" ? ArgsSpec{{"--json"}, {"--reader"}} : ArgsSpec{{}, {"--reader"}}, error);
    if (!parsed)
        return UsageError(command, error);
    const std::vector<std::string> readerTexts = parsed->All("--reader");
    if (readerTexts.size() != 1)
        return UsageError(command, "takes exactly one --reader");
    const std::optional<ReaderAddress> reader = ParseReaderAddress(readerTexts[0], error);
    if (!reader)
        return UsageError(command, error);

    std::vector<ReaderOutcome> outcomes;
    if (name == "get") {
        if (!parsed->words.empty())
            return UsageError(command, "unexpected argument " + parsed->words[0]);
        outcomes = RunOnReaders({*reader}, Get);
        if (parsed->Has("--json"))
            std::cout << '{' << outcomes[0].json << "}\n";
        else
            std::cout << outcomes[0].output;
    } else {
        std::vector<std::pair<const ParameterName*, int>> settings;
        for (const std::string& word : parsed->words) {
            const size_t equals = word.find('=');
            const ParameterName* parameter = FindName(word.substr(0, equals));
            if (equals == std::string::npos || parameter == nullptr)
                return UsageError(command, "expected NAME=VALUE with a known name, not " + word);
            const std::string valueText = word.substr(equals + 1);
            int value = -1;
            auto [end, ec] = std::from_chars(valueText.data(), valueText.data() + valueText.size(), value);
            if (valueText.empty() || ec != std::errc{} || end != valueText.data() + valueText.size() ||
                value < parameter->low || value > parameter->high ||
                (parameter->kind == Kind::Region && !RegionKnown(value)))
                return UsageError(command, "value out of range in " + word);
            settings.emplace_back(parameter, value);
        }
        if (settings.empty())
            return UsageError(command, "nothing to set");
        outcomes = RunOnReaders({*reader}, [&settings](ReaderLink& link, ReaderOutcome& outcome) {
            Set(link, outcome, settings);
        });
    }
    std::cerr << "reader " << outcomes[0].address.Text() << ": " << outcomes[0].summary << '\n';
    return outcomes[0].status;
}
