#pragma once
// Bringing translations back from a translators' file into a document: which entries change,
// and to what, as UTF-8 texts the Document encodes once and applies as one undoable change
// (Document::ApplyImport: the window, and txrtool before writing the .txl).
//
// Contract of ComputeImport: a unit sets the translation of the one entry whose Global ID is
// its key when it gives a non-empty translation. Skipped and counted: units without a
// translation, with a key no entry has or several entries share, repeating a key an earlier
// unit imported, fuzzy ones (unless includeFuzzy), plural ones, unkeyed ones. A unit whose
// source differs from the entry's original is imported and reported. A translation to import
// that holds a line break or CR, or is not valid UTF-8, refuses the whole import (error naming
// the Global ID). Nothing is encoded here: a Latin-1 .txl that must take a character Latin-1
// cannot hold becomes UTF-8 when the Document applies the result (reported in the summary).
#include <cstddef>
#include <string>
#include <vector>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/IncomingUnit.h"
#include "document/model/Document.h"

class TranslationTable;

struct ImportOptions {
    bool includeFuzzy = false;
};

struct ImportSummary {
    size_t updated = 0;
    size_t unchanged = 0;
    size_t noTranslation = 0;
    size_t unknownId = 0;
    size_t sharedId = 0;
    size_t repeated = 0;
    size_t fuzzy = 0;
    size_t plural = 0;
    size_t unkeyed = 0;
    std::vector<std::string> unknownIds;     // keys no entry has
    std::vector<std::string> sharedIds;      // keys several entries share
    std::vector<std::string> sourceChanged;  // Global IDs of entries imported over another source
    bool becameUtf8 = false;                 // set by the Document that applied the import

    // The summary as lines for a person: counts first, then what was reported (lists of IDs
    // cut after `listLimit` names).
    std::string Text(size_t listLimit = 20) const;
};

struct ImportResult {
    std::vector<TranslationChange> changes;  // texts that differ from the rows' (ascending rows)
    std::vector<int> translated;             // translation rows the import gives a translation (ascending)
    ImportSummary summary;
};

// Reads a translations file of the given format.
Status ReadTranslations(const std::string& path, ExchangeFormat format, std::vector<IncomingUnit>& units);

Status ComputeImport(const TranslationTable& table, const std::vector<IncomingUnit>& units,
                     const ImportOptions& options, ImportResult& result);

// Applies the result to the document the table reads (its own, from Load or Adopt), the .txl
// becoming UTF-8 where it must, and writes its .txl to txlPath (atomically; the .txr is not
// written).
Status WriteImportedTranslations(TranslationTable& table, ImportResult& result, const std::string& txlPath);
