#pragma once

#include <string>
#include <vector>

// "register ..." with args from the subcommand's name on; returns the exit status.
int RunRegisterCommand(const std::string& hiveOption, const std::vector<std::string>& args);
