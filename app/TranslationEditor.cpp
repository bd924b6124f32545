#include "app/TranslationEditor.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTextBrowser>
#include <algorithm>
#include <string>

#include "document/review/TextMarkers.h"

namespace {
const QString kLineBreakNote =
    QStringLiteral("A line break cannot be saved in a text resource file: it was not added.");
}

TranslationBox::TranslationBox(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

void TranslationBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & Qt::ControlModifier)) {
        emit LineBreakRefused();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TranslationBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    QString text = source->text();
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        // The pasted lines run on as one, with a space where each break was.
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        emit LineBreakRefused();
    }
    insertPlainText(text);
}

TranslationEditor::TranslationEditor(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 4, 0, 0);
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    m_original = new QTextBrowser(this);
    m_original->setObjectName(QStringLiteral("translateOriginal"));
    m_original->setAccessibleName(QStringLiteral("Original"));
    m_original->setAccessibleDescription(QStringLiteral("The original text, read-only"));
    m_original->setOpenLinks(false);
    m_original->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_original->setTabChangesFocus(true);
    m_box = new TranslationBox(this);
    m_box->setObjectName(QStringLiteral("translateBox"));
    m_box->setAccessibleName(QStringLiteral("Translation"));
    m_box->setAccessibleDescription(QStringLiteral(
        "Ctrl+Return accepts and goes to the next entry to do; Ctrl+B copies the original; Escape "
        "puts back the translation"));
    m_problems = new QListWidget(this);
    m_problems->setObjectName(QStringLiteral("translateProblems"));
    m_problems->setAccessibleName(QStringLiteral("Problems of the entry"));
    m_problems->setWordWrap(true);
    m_problems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_suggestions = new QListWidget(this);
    m_suggestions->setObjectName(QStringLiteral("translateSuggestions"));
    m_suggestions->setAccessibleName(QStringLiteral("Suggestions"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("translateNote"));
    m_note->setAccessibleName(QStringLiteral("Note"));
    grid->addWidget(label(QStringLiteral("Ori&ginal:"), m_original), 0, 0);
    grid->addWidget(m_original, 1, 0);
    grid->addWidget(label(QStringLiteral("&Translation:"), m_box), 2, 0);
    grid->addWidget(m_box, 3, 0);
    grid->addWidget(m_note, 4, 0, 1, 2);
    grid->addWidget(label(QStringLiteral("Problems:"), m_problems), 0, 1);
    grid->addWidget(m_problems, 1, 1);
    grid->addWidget(label(QStringLiteral("Suggestions:"), m_suggestions), 2, 1);
    grid->addWidget(m_suggestions, 3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    connect(m_box, &TranslationBox::LineBreakRefused, this, [this] { SetNote(kLineBreakNote); });
}

QString TranslationEditor::OriginalHtml(const QString& original) {
    // Marker positions come from the UTF-8 bytes; the markers themselves are ASCII.
    const std::string bytes = original.toStdString();
    struct Span {
        size_t at, length;
        const char* cls;
    };
    std::vector<Span> spans;
    for (const Placeholder& p : FindPlaceholders(bytes))
        spans.push_back({static_cast<size_t>(p.written.data() - bytes.data()), p.written.size(), "ph"});
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] != '&') continue;
        if (bytes[i + 1] == '&') {
            ++i;
            continue;
        }
        if (bytes[i + 1] != ' ') spans.push_back({i, 2, "acc"});
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.at < b.at; });
    QString html = QStringLiteral(
        "<style>.ph{color:#0b5394;background:#dde8f5;font-weight:bold}"
        ".acc{color:#a61c00;text-decoration:underline;font-weight:bold}</style>");
    size_t pos = 0;
    const auto plain = [&](size_t to) {
        html += QString::fromStdString(bytes.substr(pos, to - pos)).toHtmlEscaped();
        pos = to;
    };
    for (const Span& s : spans) {
        if (s.at < pos) continue;  // an accelerator inside a placeholder
        plain(s.at);
        html += QStringLiteral("<span class=\"%1\">").arg(QLatin1String(s.cls));
        plain(s.at + s.length);
        html += QStringLiteral("</span>");
    }
    plain(bytes.size());
    return html;
}

void TranslationEditor::SetOriginal(const QString& original) {
    m_originalText = original;
    m_original->setHtml(OriginalHtml(original));
}

void TranslationEditor::SetTranslation(const QString& text) {
    const QSignalBlocker block(m_box);
    m_box->setPlainText(text);
    m_box->document()->clearUndoRedoStacks();
    m_box->moveCursor(QTextCursor::End);
}

void TranslationEditor::SetProblems(const QStringList& problems) {
    m_problems->clear();
    m_problems->addItems(problems);
}

QStringList TranslationEditor::Problems() const {
    QStringList out;
    for (int i = 0; i < m_problems->count(); ++i) out << m_problems->item(i)->text();
    return out;
}

QString TranslationEditor::Note() const {
    return m_note->text();
}

void TranslationEditor::SetNote(const QString& note) {
    m_note->setText(note);
}

void TranslationEditor::SetEntryEnabled(bool enabled) {
    m_box->setReadOnly(!enabled);
    if (!enabled) {
        SetOriginal(QString());
        SetTranslation(QString());
        SetProblems({});
    }
}
