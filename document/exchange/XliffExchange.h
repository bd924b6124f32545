#pragma once
// XLIFF: the export (version 1.2, one <file>, a trans-unit per entry in document order) and
// the reader of XLIFF 1.1 and 1.2 files coming back (libxml2).
//
// Export: each trans-unit's `id` is the entry's unit key (EntryKeys::UnitId), its `resname` the
// Global ID, and the Group Name and Group ID ride along as `qm:group-name`/`qm:group-id` in the
// namespace kQuillmereXmlNamespace. <target> holds the translation with state="translated", or
// nothing with state="needs-translation". Texts XML 1.0 cannot carry (control characters other
// than tab and CR, U+FFFE, U+FFFF) are refused with the entry named.
//
// Reading: a unit's key is its `resname` when present, else its `id`; in a file converted from
// PO (it has a unit with restype="x-gettext-domain-header") ids are only numbers, so a unit
// without `resname` is keyed by the "Global ID: X" line of its developer note, or left unkeyed.
// Header units are left out; units of a plural group (restype="x-gettext-plurals") are reported
// once per group as plural; approved="no" with a translation, or a target state
// "needs-review-...", marks a unit fuzzy. A file with a DTD is refused; a malformed one gives
// its line and column.
#include <string>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/IncomingUnit.h"
#include "document/format/ByteSink.h"

class TranslationTable;

inline constexpr std::string_view kQuillmereXmlNamespace = "urn:x-quillmere:txr";

// Writes the file into `out` as it goes; on an error, what was written is to be thrown away.
Status ExportXliff(const TranslationTable& table, const ExportOptions& options, ByteSink& out);
Status ReadXliff(std::string_view bytes, std::vector<IncomingUnit>& units);
