#pragma once
// A document written out for translators in one of the exchange formats (txrtool export and the
// window's Export share it).
#include <cstddef>
#include <string>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"

class TranslationTable;

// The whole file in `out`. `leftOut` (may be null) gets the number of entries the format could
// not carry (PO: those with an empty original text).
Status ExportTranslations(const TranslationTable& table, ExchangeFormat format, const ExportOptions& options,
                          std::string& out, size_t* leftOut);

// What a person is told about the `leftOut` entries a PO export left out (1 or more).
std::string LeftOutOfPoMessage(size_t leftOut);
