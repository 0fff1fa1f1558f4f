#include "CommandLine.h"

#include "services/NcduReader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

namespace plenvo {

namespace {

// The options QApplication and its platform plugins take out of the command line, with a value
// (`-style Fusion`, also `-style=Fusion`) or without one. Qt accepts them with one dash or two.
constexpr std::string_view kQtOptionsWithValue[] = {"platform",
                                                    "platformpluginpath",
                                                    "platformtheme",
                                                    "plugin",
                                                    "qwindowgeometry",
                                                    "qwindowicon",
                                                    "qwindowtitle",
                                                    "session",
                                                    "display",
                                                    "geometry",
                                                    "title",
                                                    "icon",
                                                    "name",
                                                    "visual",
                                                    "style",
                                                    "stylesheet"};
constexpr std::string_view kQtFlags[] = {"reverse", "widgetcount", "sync",         "nograb",
                                         "dograb",  "testability", "qmljsdebugger"};

// Arguments are decoded byte for byte (Latin-1): the parser then sees options as they are
// written, and what it hands back turns into the exact bytes again with toLatin1().
QStringList withoutQtOptions(const QByteArrayList& arguments)
{
    QStringList kept;
    bool positionalOnly = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments[i];
        if (i > 0 && !positionalOnly && argument.startsWith('-')) {
            std::string_view name(argument.constData(), std::size_t(argument.size()));
            name.remove_prefix(name.starts_with("--") ? 2 : 1);
            const std::string_view bare = name.substr(0, name.find('='));
            const auto among = [&](const auto& names) {
                return std::find(std::begin(names), std::end(names), bare) != std::end(names);
            };
            if (argument == "--") {
                positionalOnly = true;
            } else if (among(kQtOptionsWithValue)) {
                if (bare.size() == name.size())
                    ++i; // the value follows
                continue;
            } else if (among(kQtFlags)) {
                continue;
            }
        }
        kept << QString::fromLatin1(argument);
    }
    return kept;
}

std::string currentFolder()
{
    std::string folder(256, '\0');
    while (!::getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE)
            return "/";
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder;
}

void print(std::FILE* stream, const QString& latin1Text)
{
    const QByteArray bytes = latin1Text.toLatin1();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
    : CommandLine([&] {
          QByteArrayList arguments;
          for (int i = 0; i < argc; ++i)
              arguments << QByteArray(argv[i]);
          return arguments;
      }())
{
}

CommandLine::CommandLine(const QByteArrayList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("See where your disk space goes."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QStringLiteral("A folder to scan at once, or a scan saved in ncdu's JSON export format "
                       "(plain or gzip-compressed) to open."),
        QStringLiteral("[FOLDER|FILE]"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Scan FOLDER without a display and write the scan to OUT in ncdu's JSON "
                       "export format (gzip-compressed when OUT ends in .gz; - for standard "
                       "output)."),
        QStringLiteral("OUT"));
    parser.addOption(exportOption);
    const QCommandLineOption diffOption(
        QStringLiteral("diff"),
        QStringLiteral("Compare two scans of a folder without a display: OLD and NEW follow, each "
                       "a saved scan or a folder to scan now. Prints the largest changes as a "
                       "table (change, kind, path) after a summary; exits with 0, or 2 when a "
                       "scan cannot be read."));
    const QCommandLineOption limitOption(
        QStringLiteral("limit"),
        QStringLiteral("With --diff: print at most N changes (0: all; 50 when not given)."),
        QStringLiteral("N"));
    const QCommandLineOption jsonOption(
        QStringLiteral("json"),
        QStringLiteral("With --diff: print JSON lines, a summary and then one object per change, "
                       "instead of the table."));
    parser.addOptions({diffOption, limitOption, jsonOption});
    const QCommandLineOption duplicatesOption(
        QStringLiteral("duplicates"),
        QStringLiteral("Scan FOLDER without a display and print its files of identical content "
                       "(1 KiB or larger; further names of one file do not count) as fdupes and "
                       "jdupes print them: one path a line, a blank line after each group. Reads "
                       "file contents; remembers their hashes in the user's cache folder."));
    parser.addOption(duplicatesOption);
    const QCommandLineOption threadsOption(
        QStringLiteral("threads"),
        QStringLiteral("Scan with N threads (1 to 256) instead of one per processor (at most 16, "
                       "and one on a disk that turns)."),
        QStringLiteral("N"));
    parser.addOption(threadsOption);
    const auto fail = [this](const QString& message) {
        print(stderr, QStringLiteral("plenvo: %1\n").arg(message));
        std::fputs("Usage: plenvo [FOLDER|FILE], plenvo --export OUT FOLDER, plenvo --diff OLD NEW, "
                   "or plenvo --duplicates FOLDER   (plenvo --help for more)\n",
                   stderr);
        m_action = Action::exit;
        m_exitCode = 2;
    };
    if (!parser.parse(withoutQtOptions(arguments))) {
        fail(parser.errorText());
        return;
    }
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        // Without an application object the parser knows neither the program's name nor Qt's
        // options.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"),
                     QString::fromLocal8Bit(arguments.value(0, QByteArrayLiteral("plenvo"))));
        std::fputs(qPrintable(help), stdout);
        m_action = Action::exit;
        return;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        m_action = Action::exit;
        return;
    }
    if (parser.isSet(threadsOption)) {
        bool isNumber = false;
        m_scanThreads = parser.value(threadsOption).toInt(&isNumber);
        if (!isNumber || m_scanThreads < 1 || m_scanThreads > 256) {
            fail(QStringLiteral("--threads needs a number from 1 to 256"));
            return;
        }
    }
    const QStringList positional = parser.positionalArguments();
    // Absolute and cleaned; cleaning works on '/' and '.' alone, which Latin-1 decoding leaves as
    // they are.
    const auto absolute = [](QString path) {
        if (!path.startsWith(u'/'))
            path.prepend(QString::fromLatin1(QByteArray::fromStdString(currentFolder())) + u'/');
        return QDir::cleanPath(path).toLatin1().toStdString();
    };
    if (parser.isSet(diffOption)) {
        if (parser.isSet(exportOption) || parser.isSet(duplicatesOption)) {
            fail(QStringLiteral("--diff goes with neither --export nor --duplicates"));
            return;
        }
        if (positional.size() != 2) {
            fail(QStringLiteral("--diff needs two scans: OLD and NEW"));
            return;
        }
        if (parser.isSet(limitOption)) {
            bool isNumber = false;
            m_diffLimit = parser.value(limitOption).toULongLong(&isNumber);
            if (!isNumber) {
                fail(QStringLiteral("--limit needs a number"));
                return;
            }
        }
        m_diffAsJson = parser.isSet(jsonOption);
        std::pair<std::string, std::string> paths;
        for (int i = 0; i < 2; ++i) {
            std::string& path = i == 0 ? paths.first : paths.second;
            path = absolute(positional[i]);
            struct stat info;
            if (::stat(path.c_str(), &info) != 0) {
                fail(QStringLiteral("%1: no such folder or file").arg(positional[i]));
                return;
            }
            if (!S_ISDIR(info.st_mode) &&
                !(S_ISREG(info.st_mode) && NcduReader::looksLikeExport(path))) {
                fail(QStringLiteral("%1: neither a folder nor a saved scan").arg(positional[i]));
                return;
            }
        }
        m_diffPaths = std::move(paths);
        m_action = Action::diff;
        return;
    }
    if (parser.isSet(limitOption) || parser.isSet(jsonOption)) {
        fail(QStringLiteral("--limit and --json go with --diff"));
        return;
    }
    if (positional.size() > 1) {
        fail(QStringLiteral("only one folder can be scanned at a time"));
        return;
    }
    const bool exporting = parser.isSet(exportOption);
    const bool duplicates = parser.isSet(duplicatesOption);
    if (exporting && duplicates) {
        fail(QStringLiteral("--export and --duplicates cannot be asked for at once"));
        return;
    }
    if ((exporting || duplicates) && positional.isEmpty()) {
        fail(QStringLiteral("%1 needs a folder to scan")
                 .arg(exporting ? QStringLiteral("--export") : QStringLiteral("--duplicates")));
        return;
    }
    if (positional.isEmpty())
        return;
    const std::string folder = absolute(positional.front());
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0) {
        fail(QStringLiteral("%1: no such folder or file").arg(positional.front()));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        const bool headless = exporting || duplicates;
        if (!headless && S_ISREG(info.st_mode) && NcduReader::looksLikeExport(folder)) {
            m_scanFile = folder;
            return;
        }
        fail(QStringLiteral("%1: %2").arg(positional.front(),
                                          headless ? QStringLiteral("not a folder")
                                                   : QStringLiteral("neither a folder nor a "
                                                                    "saved scan")));
        return;
    }
    m_folder = folder;
    if (exporting) {
        m_exportPath = parser.value(exportOption).toLatin1().toStdString();
        m_action = Action::exportScan;
    } else if (duplicates) {
        m_action = Action::findDuplicates;
    }
}

} // namespace plenvo
