#pragma once

#include <string>

// The --help text of a command path ("", "register", "register import", ...); empty when the
// path names no command.
std::string HelpText(const std::string& path);
