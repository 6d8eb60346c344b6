#pragma once

#include <functional>

class RegisterView;

// For a BatchWriter of a multi-row command: when another program holds the hive's write lock,
// asks once whether to try again (Retry) or stop (Cancel) instead of waiting row by row.
std::function<bool()> AskWhenHiveHeld(RegisterView& view);
