#include "cli/CommandGroup.h"

#include "cli/CliHelp.h"

#include <algorithm>
#include <iostream>

std::optional<ChosenCommand> ChooseCommand(const std::string& group, const std::vector<std::string>& args,
                                           const std::map<std::string, CommandShape>& shapes, int& status) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? std::cerr : std::cout) << HelpText(group);
        status = args.empty() ? exitUsage : exitDone;
        return std::nullopt;
    }
    const std::string& name = args[0];
    auto shape = shapes.find(name);
    if (shape == shapes.end()) {
        status = UsageError(group, "unknown " + group + " command " + name);
        return std::nullopt;
    }
    const std::string command = group + " " + name;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
        std::cout << HelpText(command);
        status = exitDone;
        return std::nullopt;
    }
    std::string error;
    std::optional<CommandArgs> parsed = ParseCommandArgs(rest, shape->second.options, error);
    if (parsed && parsed->words.size() < shape->second.minWords)
        error = "missing arguments";
    else if (parsed && parsed->words.size() > shape->second.maxWords)
        error = "unexpected argument " + parsed->words[shape->second.maxWords];
    else if (parsed)
        return ChosenCommand{name, command, std::move(*parsed)};
    status = UsageError(command, error);
    return std::nullopt;
}
