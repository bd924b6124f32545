#pragma once
// The Translate view of a localized pair: a list with one row per entry (original and
// translation side by side, its status and problem mark) over the editor pane, in a splitter.
// Its selection follows the window's entry list (which stays the selection the commands use,
// on the entry's translation row) and sets it, so the filter, the figures, Next / Previous and
// Search act here as in the other views.
//
// Keys, in the translation box: typing edits the selected entry; the text enters the history
// as one step ("Translate entry 42") when the entry is left or accepted, or before any command
// (Commit). Ctrl+Return accepts and goes to the next entry not translated or with a problem;
// Ctrl+Up / Ctrl+Down move without leaving the box; Ctrl+B copies the original; Escape puts
// back the translation as it was when the entry was selected; Ctrl+Z / Ctrl+Y undo and redo the
// typing while the box can, then the history (the window's Undo / Redo). In the list, F2 or
// Return moves into the box. Every key is also a public method, for tests and the menu.
#include <QSplitter>
#include <QString>
#include <functional>

class CSortListCtrl;
class Document;
class QTableView;
class TranslatePairModel;
class TranslationEditor;
class TranslationReview;
class UserPrompts;

class TranslateView : public QSplitter {
    Q_OBJECT
public:
    // `history(true)` undoes, `history(false)` redoes a step of the window's history.
    TranslateView(QWidget* parent, Document& doc, CSortListCtrl* list, TranslationReview& review,
                  UserPrompts& prompts, std::function<void(bool undo)> history);
    ~TranslateView() override;

    QTableView* Table() const { return m_table; }
    TranslatePairModel* Model() const { return m_model; }
    TranslationEditor* Editor() const { return m_editor; }

    // Shown or hidden with the view; shown, it takes the entry the window's list has selected.
    void Activate(bool on);
    bool Active() const { return m_active; }

    // The entry being edited (-1: none) as its original's document row.
    int EntryRow() const { return m_row; }
    // Selects the entry whose original is document row `row` (the typing on the entry left is
    // committed first); false when the commit was refused (the entry stays).
    bool SelectRow(int row);
    // The typed text, if it differs, as one step of the history; false when refused (declined
    // conversion, or a text the files cannot hold: the user is told).
    bool Commit();
    // Ctrl+Return, Ctrl+Up / Ctrl+Down, Ctrl+B, Escape.
    void Accept();
    void Move(int delta);
    void CopyOriginal();
    void Revert();
    // Whether text typed in the box has not entered the history yet.
    bool Pending() const;

    void SaveLayout() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Load(int row);
    void FromList();
    void ToList();
    void CheckTyped();
    void RestoreLayout();
    void ShowSortState();

    Document& m_doc;
    CSortListCtrl* m_list;
    TranslationReview& m_review;
    UserPrompts& m_prompts;
    std::function<void(bool)> m_history;
    QTableView* m_table;
    TranslatePairModel* m_model;
    TranslationEditor* m_editor;
    bool m_active = false;
    bool m_syncing = false;
    int m_row = -1;        // the original row of the entry in the box
    QString m_asSelected;  // its translation when it was selected
    QString m_loadedText;  // its translation in the document as the box last took it
    bool m_typed = false;  // the user changed the box since
};
