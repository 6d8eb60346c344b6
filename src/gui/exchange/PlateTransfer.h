#pragma once

#include "gui/exchange/RowScope.h"

class RegisterView;

// Button 1046 of the main window: gives the plates of the chosen rows their tag in the plate
// lists of the plate-recognition product, never replacing a tag a plate already has.
void RunPlateTransferMenu(RegisterView& view);

namespace TransferCommand {
constexpr int all = 1001;
constexpr int marked = 1002;
constexpr int unmarked = 1003;
} // namespace TransferCommand

// After the confirmation: the walk over the rows in scope, one box per plate missing from the
// list of its row's type, then the writes in batches; the number of tags the lists would not
// take (or that were not written after Cancel or a failed read of the store) is reported in one
// box at the end; a failed read stops the walk or the writes, and its box comes first. Returns the
// number of plates that took the tag.
int TransferRows(RegisterView& view, RowScope scope);
