#pragma once
// PO: the export (written here, with gettext's escaping) and the reader of PO files coming back
// (gettext's own libgettextpo).
//
// Export: a header entry (Content-Type UTF-8, Language = the target language, X-Generator),
// then per entry a "#." comment with its Global ID, Group Name and Group ID, msgctxt = the
// Global ID when it is unique (empty included), else the unit key of EntryKeys::UnitId,
// msgid = the original,
// msgstr = the translation, or "" when not translated. Strings are not wrapped. An entry whose
// original is empty is left out (an empty msgid is the header's, and tools read it as one); the
// count is returned through `leftOut`.
//
// Reading: msgctxt is the key; entries without one are unkeyed, fuzzy ones are marked, plural
// ones reported, obsolete ones and the header left out. Texts in UTF-8 or ISO-8859-1 (as the
// header's charset says); errors the parser reports refuse the file, with their line (and column
// where gettext gives one).
#include <cstddef>
#include <string>
#include <vector>

#include "document/Status.h"
#include "document/exchange/ExchangeFormat.h"
#include "document/exchange/IncomingUnit.h"
#include "document/format/ByteSink.h"

class TranslationTable;

// Writes the file into `out` as it goes.
Status ExportPo(const TranslationTable& table, const ExportOptions& options, ByteSink& out, size_t* leftOut);
Status ReadPo(const std::string& path, std::vector<IncomingUnit>& units);
