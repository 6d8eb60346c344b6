#pragma once

#include "gui/app/Prompts.h"

#include <vector>

class LanguageTexts;
class RegisterView;

// Ids of the entries of the whitelist menu (main window button 1049).
namespace WhitelistItem {
inline constexpr int ShowCount = 3001;
inline constexpr int Export = 3002;
inline constexpr int WriteAll = 1001;
inline constexpr int WriteMarked = 1002;
inline constexpr int WriteUnmarked = 1003;
inline constexpr int DeleteMarked = 2002;
inline constexpr int DeleteUnmarked = 2003;
inline constexpr int Clear = 2004;
} // namespace WhitelistItem

// The handler of button 1049: opens the menu under the button and runs the chosen flow to its
// end. Does nothing without a reader link, while a whitelist flow runs, or while another
// reader exchange is waiting (the link serves one request at a time).
void RunWhitelistMenu(RegisterView& view);

// Runs one entry's flow as if it had been chosen from the menu; other ids do nothing.
void RunWhitelistItem(RegisterView& view, int itemId);

// The ten entries in menu order, separators as id 0.
std::vector<Prompts::MenuItem> WhitelistMenuItems(const LanguageTexts& texts);
