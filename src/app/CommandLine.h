#pragma once

#include <QByteArrayList>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace plenvo {

// What the command line asks for: `plenvo [FOLDER]`, `plenvo FILE` (a saved scan, recognised
// by its content, opened), `plenvo --export OUT FOLDER` (a scan written to a file, without a
// display), `plenvo --diff [--limit N] [--json] OLD NEW` (what changed between two scans, each a
// saved scan or a folder scanned now, without a display), `plenvo --duplicates FOLDER` (the files
// of identical content in a scan, printed, without a display), plus --threads N (for any scan)
// --help and --version. It
// needs no application
// object, so that help, the version and mistakes are answered before the graphical application
// starts, also where there is no display.
class CommandLine {
public:
    enum class Action { run, exit, exportScan, diff, findDuplicates };

    // Parses the arguments as the process received them (raw bytes, the program name first).
    // On --help, --version or an error it prints what it has to (to standard output, or
    // standard error for an error) and sets exitCode(). Qt's own options (-platform NAME,
    // -style NAME, -reverse ...) are passed over: the application object takes them.
    explicit CommandLine(const QByteArrayList& arguments);
    CommandLine(int argc, const char* const* argv);

    Action action() const { return m_action; }
    int exitCode() const { return m_exitCode; }
    // The folder to scan at launch, absolute and cleaned, with the bytes of the argument as
    // given (a name need not be valid UTF-8).
    const std::optional<std::string>& folder() const { return m_folder; }
    // The saved scan to open at launch, absolute and cleaned, raw bytes as folder().
    const std::optional<std::string>& scanFile() const { return m_scanFile; }
    // With --export: where to write the scan of folder(), as given ("-": standard output).
    const std::optional<std::string>& exportPath() const { return m_exportPath; }
    // With --diff: the earlier and the current scan, absolute and cleaned, raw bytes.
    const std::optional<std::pair<std::string, std::string>>& diffPaths() const
    {
        return m_diffPaths;
    }
    // How many changes --diff prints at most (0: all), and whether as JSON lines.
    std::size_t diffLimit() const { return m_diffLimit; }
    bool diffAsJson() const { return m_diffAsJson; }
    // With --threads: how many threads scans walk with (0: not given).
    int scanThreads() const { return m_scanThreads; }

private:
    Action m_action = Action::run;
    int m_exitCode = 0;
    std::optional<std::string> m_folder;
    std::optional<std::string> m_scanFile;
    std::optional<std::string> m_exportPath;
    std::optional<std::pair<std::string, std::string>> m_diffPaths;
    std::size_t m_diffLimit = 50;
    bool m_diffAsJson = false;
    int m_scanThreads = 0;
};

} // namespace plenvo
