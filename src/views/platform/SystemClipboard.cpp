#include "SystemClipboard.h"

#include "utils/FileUri.h"
#include "utils/ShellQuote.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace plenvo {

std::unique_ptr<QMimeData> SystemClipboard::mimeDataFor(const std::vector<std::string>& paths)
{
    auto data = std::make_unique<QMimeData>();
    QStringList lines;
    QByteArray uris;
    for (const std::string& path : paths) {
        lines << ShellQuote::textFor(path);
        uris += FileUri::fromPath(path) + "\r\n";
    }
    data->setText(lines.join(QLatin1Char('\n')));
    // Set by format rather than with setUrls(): QUrl would re-encode the names as UTF-8.
    data->setData(QStringLiteral("text/uri-list"), uris);
    return data;
}

void SystemClipboard::copyPaths(const std::vector<std::string>& paths)
{
    if (!paths.empty())
        QGuiApplication::clipboard()->setMimeData(mimeDataFor(paths).release());
}

} // namespace plenvo
