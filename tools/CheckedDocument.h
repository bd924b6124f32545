#pragma once
// A document read for `check` and `stats`: a .txr alone as Open reads it, or with its .txl as
// Open Localized Version does, with each row's line and the problems the checks find.
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"

class CheckedDocument {
public:
    CheckedDocument() { m_store.DefineColumns(kEntryColumnSpec); }

    // Reads the files and runs the checks in `enabled`. A .txl that is named but cannot be read
    // is an error here: the editor would take it for one not written yet and show every entry as
    // missing, which would let a mistyped name pass a build.
    Status Load(const std::string& txr, const std::string& txl, CheckMask enabled);

    EntryTable Table() const;
    const std::vector<CheckMask>& Problems() const { return m_problems; }
    // The file a row comes from, and its 1-based line there.
    const std::string& FileOf(int row) const;
    uint32_t LineOf(int row) const { return m_info.lines[static_cast<size_t>(row)]; }

private:
    ResourceTable m_store;
    ReadInfo m_info;
    std::string m_txr, m_txl;
    std::vector<CheckMask> m_problems;
    Encoding m_original = Encoding::Utf8, m_translation = Encoding::Utf8;
};
