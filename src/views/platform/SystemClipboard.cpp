#include "SystemClipboard.h"

#include "utils/FileUri.h"
#include "utils/ShellQuote.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace plenvo {

std::unique_ptr<QMimeData> SystemClipboard::mimeDataFor(const std::string& path)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(ShellQuote::textFor(path));
    // Set by format rather than with setUrls(): QUrl would re-encode the name as UTF-8.
    data->setData(QStringLiteral("text/uri-list"), FileUri::fromPath(path) + "\r\n");
    return data;
}

void SystemClipboard::copyPath(const std::string& path)
{
    QGuiApplication::clipboard()->setMimeData(mimeDataFor(path).release());
}

} // namespace plenvo
