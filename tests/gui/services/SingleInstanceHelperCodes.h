#pragma once

// Exit codes of the single-instance helper program.
inline constexpr int kHelperRanFirst = 0;
inline constexpr int kHelperGaveWayAnswered = 3;
inline constexpr int kHelperGaveWayUnanswered = 4;
inline constexpr int kHelperCrashed = 5;
inline constexpr int kHelperUsage = 64;
