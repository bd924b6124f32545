#pragma once
// CSV (RFC 4180, UTF-8): the export and the reader of sheets coming back.
//
// Export: CRLF rows, a header row "Global ID,Group Name,Group ID,Original,Translation,Status",
// one row per entry; the Translation cell is empty when the entry is not translated. A field is
// quoted when it holds a comma, a quote, CR or LF, or begins or ends with a space; quotes are
// doubled. Optionally a UTF-8 byte-order mark first, for spreadsheet programs.
//
// Reading: RFC 4180 with the leniencies of spreadsheet programs (LF as well as CRLF row ends, an
// optional byte-order mark, a missing final row end). The header row names the columns; they
// may come in any order, "Global ID" and "Translation" are required, "Original" is used when
// present. Errors (a quote inside an unquoted field, text after a closing quote, an unclosed
// quote, a row with another number of fields than the header, invalid UTF-8) give the line and
// column.
#include <string>
#include <string_view>
#include <vector>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/IncomingUnit.h"
#include "document/format/ByteSink.h"

class TranslationTable;

// Writes the file into `out` as it goes; on an error, what was written is to be thrown away.
Status ExportCsv(const TranslationTable& table, const ExportOptions& options, ByteSink& out);
Status ReadCsv(std::string_view bytes, std::vector<IncomingUnit>& units);
