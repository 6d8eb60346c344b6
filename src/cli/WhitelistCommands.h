#pragma once

#include <string>
#include <vector>

// "whitelist ..." with args from the subcommand's name on; returns the exit status.
int RunWhitelistCommand(const std::string& hiveOption, const std::vector<std::string>& args);
