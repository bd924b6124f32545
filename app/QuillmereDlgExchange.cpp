// The window's exchange with translators' tools: File > Export and File > Import Translations.
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUndoStack>
#include <optional>
#include <string_view>
#include <vector>

#include "app/DocumentUndoStep.h"
#include "app/FileWatcher.h"
#include "app/GuardedIo.h"
#include "app/QtUserPrompts.h"
#include "app/QuillmereDlg.h"
#include "app/RecentFiles.h"
#include "app/TranslationReview.h"
#include "app/WindowFiles.h"
#include "app/WindowLayout.h"
#include "dialogs/AddDlg.h"
#include "dialogs/DialogBuilder.h"
#include "dialogs/EditDlg.h"
#include "dialogs/NewDlg.h"
#include "dialogs/NewloDlg.h"
#include "dialogs/RepDlg.h"
#include "document/exchange/TranslationExport.h"
#include "document/exchange/TranslationImport.h"
#include "document/exchange/TranslationTable.h"
#include "document/format/LanguageCode.h"
#include "document/format/ReplacementFile.h"
#include "listview/RowStoreModel.h"
#include "listview/SortHeaderCtrl.h"
#include "res/DialogTemplate.h"
#include "res/resource.h"

using namespace WindowFiles;

namespace {

const QString kExchangeFilter =
    QStringLiteral("XLIFF Files (*.xlf *.xliff);;PO Files (*.po);;CSV Files (*.csv);;All Files (*)");

// Exchange files carry one unit per entry, the original beside its translation.
QString NeedsPairs(const char* what) {
    return QStringLiteral(
               "%1 needs the original and localized texts side by side: check Localize and "
               "choose Show Both.")
        .arg(QLatin1String(what));
}

std::optional<ExchangeFormat> FormatOf(const QString& path, UserPrompts& prompts, QWidget* parent) {
    const std::optional<ExchangeFormat> format = FormatFromPath(path.toStdString());
    if (!format)
        prompts.Warn(parent, QStringLiteral("Cannot tell the format of %1: the name must end in .xlf, "
                                            ".xliff, .po or .csv.")
                                 .arg(QFileInfo(path).fileName()));
    return format;
}

}  // namespace

void CQuillmereDlg::OnExport() {
    if (!m_pDoc->PairView()) {
        Prompts().Tell(this, NeedsPairs("Export"));
        return;
    }
    const QString path =
        Prompts().SaveFileName(this, QStringLiteral("Export"), kExchangeFilter, QStringLiteral(".xlf"));
    if (path.isEmpty()) return;
    const std::optional<ExchangeFormat> format = FormatOf(path, Prompts(), this);
    if (!format || !ConfirmReplacing({path})) return;
    ExportOptions options;
    options.originalName = QFileInfo(m_strFileName).fileName().toStdString();
    options.targetLanguage =
        LanguageCode::OfFileName(LocalPath(QFileInfo(m_strLocFileName).absoluteFilePath()));
    // The document's own files are never an export's target, whatever name leads to them.
    const std::string documentFiles[] = {
        m_strFileName.isEmpty() ? std::string() : LocalPath(m_strFileName),
        m_strLocFileName.isEmpty() ? std::string() : LocalPath(m_strLocFileName)};
    Status s = ReplacementFile::CheckTarget(LocalPath(path), documentFiles);
    TranslationTable table;
    size_t leftOut = 0;
    if (s) s = table.FromDocument(*m_pDoc);
    if (s) s = ExportTranslationsToFile(table, *format, options, LocalPath(path), &leftOut);
    if (!s) {
        Prompts().Warn(this, QString::fromStdString(s.message()));
        return;
    }
    if (leftOut)
        Prompts().Tell(this, QStringLiteral("%1 entries with an empty original text are not in the PO file "
                                            "(an empty msgid is reserved for the header).")
                                 .arg(leftOut));
}

void CQuillmereDlg::OnImport() {
    if (!m_pDoc->PairView()) {
        Prompts().Tell(this, NeedsPairs("Import"));
        return;
    }
    const QString path =
        Prompts().OpenFileName(this, QStringLiteral("Import Translations"), kExchangeFilter, QString());
    if (path.isEmpty()) return;
    const std::optional<ExchangeFormat> format = FormatOf(path, Prompts(), this);
    if (!format) return;
    TranslationTable table;
    std::vector<IncomingUnit> units;
    ImportResult result;
    Status s = table.FromDocument(*m_pDoc);
    if (s) s = ReadTranslations(LocalPath(path), *format, units);
    if (s) s = ComputeImport(table, units, ImportOptions(), result);
    if (s) s = m_pDoc->ApplyImport(result.changes, result.translated, &result.summary.becameUtf8);
    if (!s) {
        // An empty message: the user declined the .txl's conversion to UTF-8.
        Prompts().Warn(this, s.message().empty() ? QStringLiteral("Nothing was imported.")
                                                 : QString::fromStdString(s.message()));
        return;
    }
    Prompts().Tell(this, QString::fromStdString(result.summary.Text()).trimmed());
}
