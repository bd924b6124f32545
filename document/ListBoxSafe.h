#pragma once
// The text resource file format (.txr and its localized companion .txl): writer and reader.
#include <cstdint>
#include <string>
#include <vector>

#include "document/Status.h"

class RowStore;

enum ReadMode {
    ModeShowOriginal = 1,
    ModeShowLocalized = 2,
    ModeShowBoth = 3,
    ModeOpen = 4,
    ModeOpenPaired = 5,
};

// Writes the table, its group list and last Global ID. With `localized`, even rows go to
// txrPath and odd rows to txlPath. Writes to temporary files beside the targets and renames
// them into place only when everything was written; on any error the old files are untouched.
// Refuses a table the format cannot carry (line break in a cell, '|' in the first three columns).
Status WriteTextResource(const RowStore& list, const std::string& txrPath, const std::string& txlPath,
                         bool localized);

// What a read learned beyond the rows themselves.
struct ReadInfo {
    // One flag per row: 1 where the row is a stand-in copy of its original because the .txl
    // holds no entry for it (a paired read with a short or absent .txl); 0 elsewhere.
    std::vector<uint8_t> standIn;
    bool txlPresent = false;  // the .txl was read (only modes that look at it)
    // Set before reading to have `lines` filled: for each row the 1-based line it was read from,
    // in the file it came from (0 for a stand-in copy, which is in no file). Left empty otherwise.
    bool wantLines = false;
    std::vector<uint32_t> lines;
};

// Replaces the table's rows, group list and last Global ID from the files. On error the
// table is left exactly as it was (and so is `info`). The table must have its four columns
// defined.
Status ReadTextResource(RowStore& list, const std::string& txrPath, const std::string& txlPath, ReadMode mode,
                        ReadInfo* info = nullptr);
