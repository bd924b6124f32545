#pragma once
// The document being edited, without any window: the entry rows with their group list and last
// Global ID, the encoding of each of its two files, which file every row belongs to and whether
// it stands in for a missing translation, the localize state, and the change history.
//
// Contracts:
// - Every change goes through a method below and becomes one step of the history, with an
//   exact inverse: undoing gives back the bytes of every cell, the group list with its counters,
//   the last Global ID, the encodings, the row order and the per-row flags that were there.
// - Texts come in and go out as UTF-8; each row stores its cells in its own file's encoding.
//   Cells no change touched keep their bytes, so a save writes them back as they were read.
// - A Latin-1 file that has to take a character beyond Latin-1 becomes UTF-8 only when the
//   conversion callback agrees (the conversion is part of the same step); otherwise the change
//   is refused with an empty message and nothing changes.
// - Rows of a pair table: the original (from the .txr) at an even index, its translation (from
//   the .txl) right after it. In the pair view (localize on, rows read as pairs) sorts move whole
//   pairs and Delete takes the twin along.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/ListBoxSafe.h"
#include "document/Status.h"
#include "document/format/ResourceTable.h"
#include "document/format/TextEncoding.h"
#include "document/model/DocumentHistory.h"
#include "document/model/EntryTable.h"
#include "document/model/RowScope.h"

class DocumentObserver;
class DocStep;

// A translation an import sets: a translation row of the pair table and its new Text (UTF-8).
struct TranslationChange {
    int row;
    std::string text;
};

// The two files of a document.
enum class DocFile : uint8_t { Txr = 0, Txl = 1 };

// Where the rows came from, which decides what a save writes.
enum class RowSource : uint8_t {
    None,       // a new document: saved to the .txr
    Original,   // the .txr's entries, one row each: saved to the .txr alone
    Localized,  // the .txl's entries, one row each: saved to the .txl alone
    Pairs,      // original and translation rows in turn: saved to both files
};

class Document {
public:
    // Asked before `file` (Latin-1) becomes UTF-8 so that it can hold `character` (UTF-8).
    using ConversionQuestion = std::function<bool(DocFile file, std::string_view character)>;

    Document();
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void SetConversionQuestion(ConversionQuestion ask) { m_ask = std::move(ask); }

    // ---- Reading and saving (a read or New starts a new history)

    // Reads the files in `mode`; on error nothing changes. Every reader of a document (the
    // window and every txrtool command) reads through here, so that each file's encoding is
    // decided in one place (see Detect). `info`, when given, gets what the read learned (set
    // its wantLines to have each row's line).
    Status Read(const std::string& txrPath, const std::string& txlPath, ReadMode mode,
                ReadInfo* info = nullptr);
    // Fills the rows through `fill` (a table of the four columns) as the .txr's entries, or,
    // with `pairs`, as original and translation rows in turn whose translation rows flagged in
    // `standIn` (one byte per row, or none) stand in for missing ones: as a paired read of such
    // files would give them.
    Status Load(const std::function<Status(ResourceTable&)>& fill, bool pairs = false,
                std::span<const uint8_t> standIn = {});
    // An empty new document (UTF-8, no groups, last Global ID 0). Localize state stays.
    void Clear();
    // Why Save would refuse the document as it is; empty when it can be saved.
    std::string SaveProblem() const;
    // Why the rows are not a pair table (original then translation, same Global ID); empty if
    // they are.
    std::string PairTableProblem() const;
    // Writes exactly the file(s) the rows came from (see RowSource; a new document with localize
    // on is written as pairs), leaving the document as it is (a copy).
    Status Write(const std::string& txrPath, const std::string& txlPath) const;
    // Write, after which the document is what the files hold: the stand-ins written to the .txl
    // (copies of their originals) are its own entries from then on, no longer missing, and the
    // history's present point is the saved one. The history stays. On failure nothing changes.
    Status Save(const std::string& txrPath, const std::string& txlPath);
    // Writes the .txl of a pair table alone to `txlPath` (an import from the command line):
    // the translation rows under the header a localized save gives it, its group names in the
    // .txl's encoding when `groupsInTxlEncoding` (a .txl an import turned UTF-8).
    Status SaveTranslations(const std::string& txlPath, bool groupsInTxlEncoding = false) const;

    // ---- State

    const ResourceTable& Rows() const { return m_rows; }
    // The read-only view every reader works on (checks, figures, filter, exchange): pairs when
    // the rows are pairs, each row in its file's encoding. Valid until the next change.
    EntryTable Table() const;
    // The group list and last Global ID for setting up a table outside the history; rows come
    // only through Read, Load and the changes below.
    ResourceTable& RowsForSetup() { return m_rows; }
    int RowCount() const { return m_rows.GetRowCount(); }
    std::string_view Cell(int row, int column) const { return m_rows.Cell(row, column); }
    std::string CellUtf8(int row, int column) const;
    const GroupList& Groups() const { return m_rows.Groups(); }
    int32_t LastGlobalId() const { return m_rows.GetLastGlobalId(); }

    Encoding FileEncoding(DocFile file) const { return m_encoding[static_cast<int>(file)]; }
    // Sets a file's encoding outside the history (setting up a table).
    void SetFileEncoding(DocFile file, Encoding encoding);
    DocFile RowFile(int row) const;
    Encoding RowEncoding(int row) const { return FileEncoding(RowFile(row)); }
    bool IsStandIn(int row) const;
    // Whether every file the rows are in is UTF-8.
    bool AllUtf8() const;

    RowSource Source() const { return m_source; }
    void SetSource(RowSource source);  // outside the history (setting up a table)
    bool Localize() const { return m_localize; }
    void SetLocalize(bool on) { m_localize = on; }
    // Rows are pairs and localize is on: sorts and deletes act on whole pairs.
    bool PairView() const { return m_localize && m_source == RowSource::Pairs; }
    // An added entry gets a translation row: in the pair view, and in a new document with
    // localize on (which a save writes as pairs).
    bool AddsTwins() const {
        return m_localize && (m_source == RowSource::Pairs || m_source == RowSource::None);
    }
    // A save writes both files, as pairs of rows.
    bool SavesPairs() const { return AddsTwins(); }

    int SortColumn() const { return m_rows.m_nSortColumn; }
    bool SortAscending() const { return m_rows.m_bAscending; }

    // ---- Changes, each one step of the history

    // The Global ID Add proposes, raised in advance (outside the history) until AddEntry takes
    // it or CancelAdd gives it back; nothing when every Global ID is handed out.
    std::optional<int32_t> BeginAdd();
    void CancelAdd();
    // Why Add is refused as the rows are; empty when an entry can be added. The rows of the
    // .txl alone cannot take one: a translation without its original would pair with the
    // wrong original after the last one.
    std::string AddProblem() const;
    // Adds an entry with `globalId`, numbered in its group (a new group when none has the name);
    // when AddsTwins() a translation row (a copy) follows. Takes the last Global ID up by one
    // (the one BeginAdd raised, if it was called). Refused, changing nothing, with AddProblem().
    Status AddEntry(int32_t globalId, std::string_view groupName, std::string_view text);
    // Appends a row of cells as given (no numbering), in the pair view a single row too.
    Status AppendRow(std::span<const std::string> cells);
    // Sets the Group Name and Text of a row (the group list is not touched).
    Status EditEntry(int row, std::string_view groupName, std::string_view text);
    Status SetCell(int row, int column, std::string_view text);
    // Sets the Text of translation row `row` (a .txl row of the pair table) as one step named
    // "Translate entry <Global ID>"; refused, with a message, for a text the format cannot hold
    // (a line break) or an original row. The same text again is no step unless `claim` asks for
    // a stand-in to become the .txl's own (the user typed it, even if it is the original's text).
    Status Translate(int row, std::string_view text, bool claim);
    // Sets the translations an import computed against these rows (ComputeImport on a
    // TranslationTable of this document; UTF-8 texts) as one step, each encoded once in the
    // .txl's encoding, the .txl's conversion to UTF-8 included when asked for and agreed
    // (`becameUtf8`, when given, tells whether it was). `translated`: the translation rows the
    // import gives a translation; those that were stand-ins stop being stand-ins. Nothing to
    // change records no step.
    Status ApplyImport(std::span<const TranslationChange> changes, std::span<const int> translated,
                       bool* becameUtf8 = nullptr);
    // The rows a Delete of `selected` removes: in the pair view each row takes its twin.
    std::vector<int> EntryRows(const std::vector<int>& selected) const;
    // Deletes the rows (any order; duplicates and rows out of range ignored). False: none.
    bool DeleteRows(std::vector<int> rows);
    // Deletes every entry in `scope` (in the pair view each row takes its twin); false when
    // there was none. The rows outside the scope stay as they are.
    bool DeleteAll(const RowScope& scope = {});
    // The entries among the rows of `scope`: pairs count once in a pair table.
    int EntriesIn(const RowScope& scope) const;
    // Scans the Text column of the rows in `scope` from `row` on and replaces in the first row
    // holding `search`; `row` is left on that row (the result) or past the end (result -1).
    Status ReplaceNext(int& row, std::string_view search, std::string_view replacement, int& changedRow,
                       const RowScope& scope = {});
    // Replaces in the Text of every row in `scope`; `changed` gets the rows changed, ascending.
    Status ReplaceAll(std::string_view search, std::string_view replacement,
                      std::vector<int>* changed = nullptr, const RowScope& scope = {});
    // Sorts by a column (whole pairs in the pair view); false when there was nothing to do.
    bool Sort(int column, bool ascending);
    // A header click: the same column again flips the direction, another starts ascending.
    bool SortByHeader(int column) { return Sort(column, m_rows.NextSortAscending(column)); }
    // Forgets the sort column (a read's rows are in file order).
    void ClearSortState();

    // ---- Search (texts as UTF-8)

    // Rows in `scope` whose Global ID is exactly `id`.
    std::vector<int> FindGlobalId(std::string_view id, const RowScope& scope = {}) const;
    // The first row in `scope` from `from` on whose Text contains `text`; -1 when none.
    int FindText(std::string_view text, int from, const RowScope& scope = {}) const;

    // ---- History

    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    std::string UndoName() const { return m_history.UndoName(); }
    std::string RedoName() const { return m_history.RedoName(); }
    size_t UndoCount() const { return m_history.UndoCount(); }
    size_t RedoCount() const { return m_history.RedoCount(); }
    bool Undo();
    bool Redo();
    void ClearHistory();
    // Unsaved changes: the history stands elsewhere than where the document was last read or
    // saved (or no saved state is in it any more). A read, Clear and Save end them.
    bool IsModified() const { return m_history.Modified(); }
    // The document as it stands taken as saved / no state of it as saved (its file was deleted,
    // say): a later undo or redo does not end the unsaved changes.
    void MarkSaved();
    void MarkUnsaved();
    size_t HistoryBytes() const { return m_history.Bytes(); }
    void SetHistoryLimit(size_t bytes);

private:
    friend class DocStep;

    // Raw changes, telling the observers; the steps are made of these.
    void RawInsert(const std::vector<int>& positions, const ResourceTable& rows,
                   const std::vector<uint8_t>& flags);
    void RawRemove(const std::vector<int>& rows, ResourceTable* out, std::vector<uint8_t>* flags);
    void RawSetCell(int row, int column, std::string_view bytes);
    void RawReorder(const std::vector<int>& order);
    void RawSwapAll(ResourceTable& rows, std::vector<uint8_t>& flags);
    void RawConvert(DocFile file, bool toUtf8);
    void NotifyChanged(int first, int last);

    void Record(std::unique_ptr<DocumentStep> step);
    template <class Make>
    void ConvertThen(const std::vector<DocFile>& convert, Make make);
    // The bytes of UTF-8 `text` in `file`'s encoding, converting the file when it must and may:
    // false when the user declined (nothing changed yet; `convert` lists files to convert).
    bool Prepare(std::string_view text, DocFile file, std::vector<DocFile>& convert) const;
    std::string Bytes(std::string_view text, DocFile file) const;
    // UTF-8 `text` as each file's bytes in `keys`; false for a file that cannot hold it (the
    // text then occurs in none of its rows).
    std::array<bool, 2> SearchKeys(std::string_view text, std::array<std::string, 2>& keys) const;
    // Decides each file's encoding, the one place that does: UTF-8 when every row of the file
    // (and, for the .txr, every group name: the group list is the .txr's) is valid UTF-8, else
    // Latin-1; a .txl without rows of its own takes the .txr's. A stand-in row holds a copy of
    // the other file's bytes: it counts for that file, and is then held in its own file's
    // encoding.
    void Detect();
    void Started();       // a new document: history cleared, observers told
    void HistoryMoved();  // observers told of a change of the history

    template <class F>
    void Each(F f) {
        for (DocumentObserver* o : m_observers) f(*o);
    }

    ResourceTable m_rows;
    std::vector<uint8_t> m_flags;  // per row: kFromTxl, kStandIn
    Encoding m_encoding[2] = {Encoding::Utf8, Encoding::Utf8};
    RowSource m_source = RowSource::None;
    bool m_localize = false;
    bool m_addPending = false;
    DocumentHistory m_history;
    std::vector<DocumentObserver*> m_observers;
    ConversionQuestion m_ask;

public:
    static constexpr uint8_t kFromTxl = 1;
    static constexpr uint8_t kStandIn = 2;
    uint8_t Flags(int row) const { return m_flags[static_cast<size_t>(row)]; }
    std::span<const uint8_t> RowFlags() const { return m_flags; }
};
