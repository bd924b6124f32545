#pragma once
// The base of every step of the Document's history. The steps change the document only
// through its raw changes, which tell the observers; a step keeps only what its change takes
// away or cannot work out again, and says how many bytes it holds so that the history can keep
// within its budget.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "document/model/Document.h"
#include "document/model/DocumentHistory.h"

// What every step costs beside the data it keeps.
inline constexpr size_t kStepOverhead = 64;

class DocStep : public DocumentStep {
protected:
    static ResourceTable& Rows(Document& d) { return d.m_rows; }
    static void Insert(Document& d, const std::vector<int>& at, const ResourceTable& rows,
                       const std::vector<uint8_t>& flags) {
        d.RawInsert(at, rows, flags);
    }
    static void Remove(Document& d, const std::vector<int>& at, ResourceTable* out,
                       std::vector<uint8_t>* flags) {
        d.RawRemove(at, out, flags);
    }
    static void SetCell(Document& d, int row, int column, std::string_view bytes) {
        d.RawSetCell(row, column, bytes);
    }
    static void Changed(Document& d, int first, int last) { d.NotifyChanged(first, last); }
    static void Reorder(Document& d, const std::vector<int>& order) { d.RawReorder(order); }
    static void SwapAll(Document& d, ResourceTable& rows, std::vector<uint8_t>& flags) {
        d.RawSwapAll(rows, flags);
    }
    static void Convert(Document& d, DocFile file, bool toUtf8) { d.RawConvert(file, toUtf8); }
    static void SetStandIn(Document& d, int row, bool on) {
        uint8_t& f = d.m_flags[static_cast<size_t>(row)];
        f = on ? (f | Document::kStandIn) : (f & ~Document::kStandIn);
    }
    static void SetSort(Document& d, int column, bool ascending) {
        d.m_rows.m_nSortColumn = column;
        d.m_rows.m_bAscending = ascending;
    }
};
