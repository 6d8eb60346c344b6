#pragma once

#include <string>
#include <vector>

// "reader params get|set ..." with args from "params" on; returns the exit status.
int RunReaderCommand(const std::vector<std::string>& args);

// "discover ..." with args after its name; returns the exit status.
int RunDiscoverCommand(const std::vector<std::string>& args);
