#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

bool CommandLine::IsTxl(const QString& path) {
    return path.endsWith(QStringLiteral(".txl"), Qt::CaseInsensitive);
}

bool CommandLine::IsTxr(const QString& path) {
    return path.endsWith(QStringLiteral(".txr"), Qt::CaseInsensitive);
}

FilesToOpen CommandLine::Sort(const QStringList& paths, QString* error) {
    FilesToOpen files;
    const auto fail = [&](const QString& message) {
        if (error) *error = message;
        return FilesToOpen{};
    };
    if (paths.isEmpty() || paths.size() > 2)
        return fail(
            QStringLiteral("Give one text resource file (.txr), or one with its localized "
                           "version (.txl)."));
    for (const QString& path : paths) {
        QString& slot = IsTxl(path) ? files.txl : files.txr;
        if (!slot.isEmpty())
            return fail(QStringLiteral("%1 and %2 are both %3 files: give one .txr and one .txl.")
                            .arg(QFileInfo(slot).fileName(), QFileInfo(path).fileName(),
                                 IsTxl(path) ? QStringLiteral(".txl") : QStringLiteral(".txr")));
        slot = QFileInfo(path).absoluteFilePath();
    }
    if (files.txr.isEmpty()) {
        const qsizetype nameStart = files.txl.lastIndexOf(QLatin1Char('/')) + 1;
        const qsizetype dot = files.txl.indexOf(QLatin1Char('.'), nameStart);
        files.txr = files.txl.left(dot) + QStringLiteral(".txr");
    }
    return files;
}

CommandLine::CommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Edits text resource files (.txr) and their localized versions (.txl)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.txr"),
                                 QStringLiteral("The text resource file to open."),
                                 QStringLiteral("[FILE.txr"));
    parser.addPositionalArgument(QStringLiteral("FILE.txl"),
                                 QStringLiteral("Its localized version, opened with it in localize mode; "
                                                "a .txl alone opens with the .txr of its name."),
                                 QStringLiteral("[FILE.txl]]"));
    QString usage = parser.helpText();
    // Without an application object (the command line is read before one exists) the parser
    // cannot know the program's name.
    usage.replace(QStringLiteral("<executable_name>"), QFileInfo(arguments.value(0)).fileName());
    if (!parser.parse(arguments)) {
        m_action = Fail;
        m_text = parser.errorText() + QStringLiteral("\n\n") + usage;
        return;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        m_action = ShowHelp;
        m_text = usage;
        return;
    }
    if (parser.isSet(version)) {
        m_action = ShowVersion;
        m_text = QCoreApplication::applicationName() + QLatin1Char(' ') +
                 QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty()) return;
    QString error;
    m_files = Sort(paths, &error);
    if (m_files.IsEmpty()) {
        m_action = Fail;
        m_text = error + QStringLiteral("\n\n") + usage;
    }
}
