#pragma once
// A document written out for translators in one of the exchange formats (txrtool export and the
// window's Export share it).
#include <cstddef>
#include <string>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/format/ByteSink.h"

class TranslationTable;

// The file, written into `out` as it is made. `leftOut` (may be null) gets the number of entries
// the format could not carry (PO: those with an empty original text).
Status ExportTranslations(const TranslationTable& table, ExchangeFormat format, const ExportOptions& options,
                          ByteSink& out, size_t* leftOut);

// The same into the file `path`, through the atomic writer, a piece at a time (no copy of the
// whole file is held): `path` is replaced only when the export is complete, and is refused as
// every writer refuses its targets (ReplacementFile::CheckTarget, without the inputs: check those
// before reading them).
Status ExportTranslationsToFile(const TranslationTable& table, ExchangeFormat format,
                                const ExportOptions& options, const std::string& path, size_t* leftOut);
