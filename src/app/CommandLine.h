#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace plenvo {

// What the command line asks for: `plenvo [FOLDER]`, plus --help and --version.
class CommandLine {
public:
    enum class Action { run, exit };

    // Parses the arguments (the program name first). On --help, --version or an error it
    // prints what it has to (to standard output, or standard error for an error) and sets
    // exitCode().
    explicit CommandLine(const QStringList& arguments);

    Action action() const { return m_action; }
    int exitCode() const { return m_exitCode; }
    // The folder to scan at launch, absolute and cleaned.
    const std::optional<QString>& folder() const { return m_folder; }

private:
    Action m_action = Action::run;
    int m_exitCode = 0;
    std::optional<QString> m_folder;
};

} // namespace plenvo
