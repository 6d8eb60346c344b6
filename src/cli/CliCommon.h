#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the program's exit status tells a script.
enum ExitStatus : int {
    exitDone = 0,
    exitDifferences = 1, // differences found, or some items failed
    exitUsage = 2,       // a wrong argument; the message names it
    exitUnavailable = 3, // a hive or a reader could not be opened
};

// The arguments of one command after its name: flags, options with values (repeatable) and
// the remaining words in order. "--name value" and "--name=value" both work; "--" ends options.
struct CommandArgs {
    std::set<std::string> flags;
    std::map<std::string, std::vector<std::string>> values;
    std::vector<std::string> words;

    bool Has(const std::string& name) const { return flags.count(name) > 0; }
    std::vector<std::string> All(const std::string& name) const;
};

struct ArgsSpec {
    std::set<std::string> flags;  // e.g. "--json"
    std::set<std::string> valued; // e.g. "--reader"
};

// nullopt with error set when an option is unknown or lacks its value.
std::optional<CommandArgs> ParseCommandArgs(const std::vector<std::string>& args, const ArgsSpec& options,
                                            std::string& error);

// "lumetra-cli: <message>" and where to find help, on standard error; returns exitUsage.
int UsageError(const std::string& command, const std::string& message);
// "lumetra-cli: <message>" on standard error; returns status.
int Failure(int status, const std::string& message);

// A JSON string literal of UTF-8 text.
std::string JsonText(const std::string& text);

// Progress goes to standard error, and only when that is a terminal.
bool ProgressWanted();
