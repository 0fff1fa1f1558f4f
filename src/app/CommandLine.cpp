#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace plenvo {

CommandLine::CommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("See where your disk space goes."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("A folder to scan at once."),
                                 QStringLiteral("[FOLDER]"));
    const auto fail = [this](const QString& message) {
        std::fprintf(stderr, "plenvo: %s\n", qPrintable(message));
        std::fprintf(stderr, "Usage: plenvo [FOLDER]   (plenvo --help for more)\n");
        m_action = Action::exit;
        m_exitCode = 2;
    };
    if (!parser.parse(arguments)) {
        fail(parser.errorText());
        return;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        m_action = Action::exit;
        return;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        m_action = Action::exit;
        return;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        fail(QStringLiteral("only one folder can be scanned at a time"));
        return;
    }
    if (positional.isEmpty())
        return;
    const QFileInfo info(positional.front());
    if (!info.exists()) {
        fail(QStringLiteral("%1: no such folder").arg(positional.front()));
        return;
    }
    if (!info.isDir()) {
        fail(QStringLiteral("%1: not a folder").arg(positional.front()));
        return;
    }
    m_folder = QDir::cleanPath(info.absoluteFilePath());
}

} // namespace plenvo
