#include "AppState.h"
#include "CommandLine.h"
#include "HeadlessDiff.h"
#include "HeadlessDuplicates.h"
#include "HeadlessExport.h"
#include "PlenvoApp.h"
#include "shell/MainWindow.h"
#include "utils/Localization.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication::setApplicationName(QStringLiteral("Plenvo"));
    QApplication::setApplicationVersion(QStringLiteral(PLENVO_VERSION));

    // Before the graphical application: help, the version and mistakes need no display.
    const plenvo::CommandLine commandLine(argc, argv);
    if (commandLine.action() == plenvo::CommandLine::Action::exit)
        return commandLine.exitCode();
    // Every scanner of the process reads it (before any thread starts).
    if (commandLine.scanThreads() > 0)
        qputenv("PLENVO_SCAN_THREADS", QByteArray::number(commandLine.scanThreads()));
    if (commandLine.action() == plenvo::CommandLine::Action::exportScan)
        return plenvo::HeadlessExport::run(*commandLine.exportPath(), *commandLine.folder(),
                                           PLENVO_VERSION);
    if (commandLine.action() == plenvo::CommandLine::Action::diff)
        return plenvo::HeadlessDiff::run(commandLine.diffPaths()->first,
                                         commandLine.diffPaths()->second, commandLine.diffLimit(),
                                         commandLine.diffAsJson());
    if (commandLine.action() == plenvo::CommandLine::Action::findDuplicates)
        return plenvo::HeadlessDuplicates::run(*commandLine.folder());

    QApplication app(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral(PLENVO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PLENVO_APP_ID),
                                                 QIcon(QStringLiteral(":/plenvo/app-icon.svg"))));

    plenvo::PlenvoApp plenvo;
    plenvo.mainWindow().show();
    if (commandLine.folder())
        plenvo.state().scanDirectory(*commandLine.folder());
    else if (commandLine.scanFile())
        plenvo.state().openScan(*commandLine.scanFile());
    return app.exec();
}
