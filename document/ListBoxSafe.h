#pragma once
// The text resource file format (.txr and its localized companion .txl): writer and reader.
#include <cstdint>
#include <string>
#include <vector>

#include "document/Status.h"

class ResourceTable;

enum ReadMode {
    ModeShowOriginal = 1,
    ModeShowLocalized = 2,
    ModeShowBoth = 3,
    ModeOpen = 4,
    ModeOpenPaired = 5,
};

// Writes the table, its group list and last Global ID. With `localized`, even rows go to
// txrPath and odd rows to txlPath. Writes to temporary files beside the targets and renames
// them into place only when everything was written; on any error (running out of memory
// included) the old files are untouched and no temporary file is left.
// Refuses a table the format cannot carry (line break in a cell, '|' in the first three columns),
// a target that is not a regular file (a symbolic link is followed and stays; a dangling one is
// written through to the file it names), and two targets that are one file under two names.
// A replaced file keeps its permissions, and its owner and group where the process may set them.
Status WriteTextResource(const ResourceTable& list, const std::string& txrPath, const std::string& txlPath,
                         bool localized);

// Writes one file of a localized pair, the .txr or the .txl, from a table of that file's rows
// alone (a Show Original Text or Show Localized Text read), as a localized save writes that file:
// the same header, whose row count is that of the pairs (twice the table's rows). The other file
// of the pair is not touched. Otherwise as WriteTextResource.
Status WriteTextResourceFile(const ResourceTable& list, const std::string& path);

// What a read learned beyond the rows themselves.
struct ReadInfo {
    // One flag per row: 1 where the row is a stand-in copy of its original because the .txl
    // holds no entry for it (a paired read with a short or absent .txl), or, at an original's
    // place, a copy of its translation because the .txr has run out of entries; 0 elsewhere.
    std::vector<uint8_t> standIn;
    bool txlPresent = false;  // the .txl was read (only modes that look at it)
    // Set before reading to have `lines` filled: for each row the 1-based line it was read from,
    // in the file it came from (0 for a stand-in copy, which is in no file). Left empty otherwise.
    bool wantLines = false;
    std::vector<uint32_t> lines;
};

// Replaces the table's rows, group list and last Global ID from the files. On error the
// table is left exactly as it was (and so is `info`). The table must have its four columns
// defined. Each file must be a regular file (or a link to one) that does not change while it is
// read; a .txl that does not exist is absent (not translated yet), one that cannot be read is an
// error. Blank lines hold no entry: a paired read skips them in each file, so that the table is
// made of whole pairs, each original at an even index. Running out of memory is an error too.
Status ReadTextResource(ResourceTable& list, const std::string& txrPath, const std::string& txlPath,
                        ReadMode mode, ReadInfo* info = nullptr);
