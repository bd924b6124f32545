#pragma once
// The editor pane of the Translate view: the original (read-only and selectable, its
// placeholders and accelerator shown distinctly), the translation box, the entry's problems
// as the translation is typed, a note where a line break was refused, and the list of
// suggestions (empty until translation memory fills it). It holds no document: the view
// puts texts in and reads the typed text back.
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QListWidget;
class QTextBrowser;

// The translation box: a line break cannot be saved in the files, so Return and Enter (and
// pasted line breaks) are refused here with a note rather than at Save.
class TranslationBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TranslationBox(QWidget* parent = nullptr);

signals:
    void LineBreakRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

class TranslationEditor : public QWidget {
    Q_OBJECT
public:
    explicit TranslationEditor(QWidget* parent = nullptr);

    // The original shown as rich text: placeholders and accelerator markers stand out.
    void SetOriginal(const QString& original);
    QString Original() const { return m_originalText; }
    QTextBrowser* OriginalView() const { return m_original; }
    TranslationBox* Box() const { return m_box; }
    // The translation put in the box as a fresh start (its own undo emptied).
    void SetTranslation(const QString& text);
    QString Translation() const { return m_box->toPlainText(); }
    void SetProblems(const QStringList& problems);
    QStringList Problems() const;
    QListWidget* Suggestions() const { return m_suggestions; }
    QString Note() const;
    void SetNote(const QString& note);
    // Nothing to edit (no entry selected, or not a pair).
    void SetEntryEnabled(bool enabled);

    // The original as HTML, placeholders and accelerators each in a span of their own class.
    static QString OriginalHtml(const QString& original);

private:
    QString m_originalText;
    QTextBrowser* m_original;
    TranslationBox* m_box;
    QListWidget* m_problems;
    QListWidget* m_suggestions;
    QLabel* m_note;
};
