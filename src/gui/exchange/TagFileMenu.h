#pragma once

class RegisterView;

// Button FileMenu of the main window: import, import check and the three exports of tag files.
void RunFileMenu(RegisterView& view);

namespace TagFileCommand {
// Ids of the menu's entries.
enum Id : int { import = 3001, exportAll = 3002, exportMarked = 3003, exportUnmarked = 3004, importCheck = 3005 };
} // namespace TagFileCommand
