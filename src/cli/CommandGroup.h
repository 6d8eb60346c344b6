#pragma once

#include "cli/CliCommon.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

// How one command of a group is called: how many plain words it takes and which options.
struct CommandShape {
    size_t minWords, maxWords;
    ArgsSpec options;
};

// A group's command as the command line chose it.
struct ChosenCommand {
    std::string name;    // "list"
    std::string command; // "register list", as help and messages name it
    CommandArgs args;
};

// Reads args[0] as a command of group and the rest by its shape. nullopt where the call ends here
// with status: exitDone after help that was asked for, exitUsage after help for no command at all
// or a message naming what does not fit.
std::optional<ChosenCommand> ChooseCommand(const std::string& group, const std::vector<std::string>& args,
                                           const std::map<std::string, CommandShape>& shapes, int& status);
