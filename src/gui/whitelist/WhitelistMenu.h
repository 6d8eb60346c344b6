#pragma once

#include "gui/app/Prompts.h"

#include <vector>

class LanguageTexts;
class RegisterView;

// Ids of the entries of the whitelist menu (the main window's button Whitelist).
namespace WhitelistItem {
enum Id : int {
    ShowCount = 3001,
    Export = 3002,
    WriteAll = 1001,
    WriteMarked = 1002,
    WriteUnmarked = 1003,
    DeleteMarked = 2002,
    DeleteUnmarked = 2003,
    Clear = 2004,
};
} // namespace WhitelistItem

// The handler of the button Whitelist: opens the menu under the button and runs the chosen flow to its
// end. Does nothing without a reader link, while a whitelist flow runs, or while another
// reader exchange is waiting (the link serves one request at a time).
void RunWhitelistMenu(RegisterView& view);

// Runs one entry's flow as if it had been chosen from the menu; other ids do nothing.
void RunWhitelistItem(RegisterView& view, int itemId);

// The ten entries in menu order, separators as id 0.
std::vector<Prompts::MenuItem> WhitelistMenuItems(const LanguageTexts& texts);
