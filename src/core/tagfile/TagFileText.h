#pragma once

#include "core/register/VehicleType.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One row of an export: what a register row shows.
struct TagFileRow {
    std::string tagId;
    std::string plate;
    VehicleType carType = VehicleType::Car;
};

// Rows as tag-file lines, in the order given.
struct TagFileText {
    std::string utf8;                     // every row
    std::string big5;                     // every row that has a Big5 form
    std::vector<std::string> withoutBig5; // tag ids of the rows that have none
    // The rows of big5 in UTF-8, made only when they must go out so (see TagFileOutputOf) and
    // are fewer than utf8's.
    std::string big5RowsUtf8;
};

// step hears each row's index while rows without a Big5 form are looked for.
TagFileText TagFileTextOfRows(const std::vector<TagFileRow>& rows, const std::function<void(size_t)>& step = {});

// A file as an export writes it: mark, empty or the UTF-8 byte-order mark, then body. Apart, so
// that the body can go out in pieces after the choice is made. Both point into a TagFileText.
struct TagFileOutput {
    std::string_view mark;
    std::string_view body;
};

// Every row in UTF-8 behind the mark when wholeFileUtf8, otherwise the rows of big5. Big5 that
// begins with the mark's own bytes goes out as the same rows in UTF-8 behind the mark instead:
// the import takes those bytes for the mark, and the first line would be lost.
TagFileOutput TagFileOutputOf(const TagFileText& text, bool wholeFileUtf8);
