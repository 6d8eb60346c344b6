#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// One row of an export: what a register row shows.
struct TagFileRow {
    std::string tagId;
    std::string plate;
    int carType = 1;
};

// Rows as tag-file lines, in the order given.
struct TagFileText {
    std::string utf8;                     // every row
    std::string big5;                     // every row that has a Big5 form
    std::vector<std::string> withoutBig5; // tag ids of the rows that have none
};

// step hears each row's index while rows without a Big5 form are looked for.
TagFileText TagFileTextOfRows(const std::vector<TagFileRow>& rows, const std::function<void(size_t)>& step = {});
