#pragma once

class RegisterView;

// Button 1047 of the main window: import, import check and the three exports of tag files.
void RunFileMenu(RegisterView& view);

namespace TagFileCommand {
constexpr int import = 3001;
constexpr int exportAll = 3002;
constexpr int exportMarked = 3003;
constexpr int exportUnmarked = 3004;
constexpr int importCheck = 3005;
} // namespace TagFileCommand
