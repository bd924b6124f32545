#pragma once
// A document read for `check` and `stats`: a .txr alone as Open reads it, or with its .txl as
// Open Localized Version does (through the Document's read, as the window reads it), with each
// row's line and the problems the checks find.
#include <string>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/model/Document.h"
#include "document/model/EntryTable.h"
#include "document/review/EntryCheck.h"

class CheckedDocument {
public:
    // Reads the files and runs the checks in `enabled`. A .txl that is named but cannot be read
    // is an error here: the editor would take it for one not written yet and show every entry as
    // missing, which would let a mistyped name pass a build.
    Status Load(const std::string& txr, const std::string& txl, CheckMask enabled);

    // The document as the window's checks and figures see it.
    EntryTable Table() const { return m_doc.Table(); }
    const std::vector<CheckMask>& Problems() const { return m_problems; }
    // The file a row comes from, and its 1-based line there.
    const std::string& FileOf(int row) const;
    uint32_t LineOf(int row) const { return m_info.lines[static_cast<size_t>(row)]; }

private:
    Document m_doc;
    ReadInfo m_info;
    std::string m_txr, m_txl;
    std::vector<CheckMask> m_problems;
};
