#pragma once

#include "core/tagfile/TagFileLine.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class PlateList;
class TagStore;

// What became of one line of an imported tag file.
enum class TagLineOutcome { Stored, Empty, Malformed, TagTooShort, TagTooLong, Undecodable, RefusedName, StoreFailure };

// The words the import report uses for an outcome ("malformed", "tag too long", ...).
const char* TagLineOutcomeText(TagLineOutcome outcome);

struct TagFileEntry {
    int lineNumber = 0; // from 1
    TagFileLine line;
};

struct TagFileReading {
    std::vector<TagFileEntry> entries;                      // lines that passed the rules, in file order
    std::vector<std::pair<int, TagLineOutcome>> passedOver; // every other line but the empty ones
};

// Hears the position of long work: the line or entry about to be handled.
using WorkStep = std::function<void(size_t)>;

// The import's line rules over a whole file's bytes.
TagFileReading ReadTagFileLines(std::string_view bytes, const WorkStep& step = {});

// Writes the entries' records in the order of their tags (case folded), the lines of one tag in
// file order, so the last line of a tag wins in the store; each record keeps the tag's stored
// mark and confirmation. Stored, RefusedName (an id the store will not write) or StoreFailure
// per entry, in the entries' order; step hears how many writes are done. retry as for
// BatchWriter. After a read of the store fails nothing further is written: the batch under way
// is rolled back, and its entries and all written after it are StoreFailure. newTags, when
// given, is set to at most the number of tags the store did not hold before: room to make.
std::vector<TagLineOutcome> StoreTagFileEntries(TagStore& store, const std::vector<TagFileEntry>& entries,
                                                const std::function<bool()>& retry = {}, const WorkStep& step = {},
                                                size_t* newTags = nullptr);

struct TagCheckFinding {
    enum class Kind { PlateNotFound, Refused, New, Change, Unreadable };
    Kind kind;
    std::string text; // the English text; the window words Refused from its language file
};

// The import check's findings for one line: a plate missing from its plate list; then a tag
// the store would refuse, a new tag, or a tag whose stored plate differs. When a read of the
// store failed, only Unreadable: nothing about the line is known.
std::vector<TagCheckFinding> CheckTagFileLine(TagStore& store, PlateList& cars, PlateList& motorcycles,
                                              const TagFileLine& line);
