#include "LocationDrop.h"

#include "AppState.h"
#include "UiThread.h"
#include "services/NcduReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include <algorithm>

namespace plenvo {

bool LocationDrop::carriesOnlyFileLocations(const QMimeData* mimeData)
{
    if (!mimeData || !mimeData->hasUrls())
        return false;
    const QList<QUrl> urls = mimeData->urls();
    return std::all_of(urls.cbegin(), urls.cend(),
                       [](const QUrl& url) { return url.isLocalFile(); });
}

bool LocationDrop::handle(AppState& state, const QMimeData* mimeData)
{
    if (!mimeData || !mimeData->hasUrls())
        return false;
    const QList<QUrl> urls = mimeData->urls();
    if (urls.isEmpty())
        return false;

    const QUrl first = urls.constFirst();
    // Looking at the dropped location may block on a slow mount: in the background.
    state.backgroundWork().start([state = QPointer<AppState>(&state), first](
                                     const CancellationToken&) {
        if (!first.isLocalFile())
            return;
        const QString path = QDir::cleanPath(first.toLocalFile());
        const QFileInfo info(path);
        if (path.isEmpty() || !info.exists())
            return;
        const bool folder = info.isDir();
        if (!folder && !NcduReader::looksLikeExport(QFile::encodeName(path).toStdString()))
            return;
        postToUiThread([state, path, folder] {
            if (!state)
                return;
            if (folder)
                state->scanDirectory(path);
            else
                state->openScan(path);
        });
    });
    return true;
}

} // namespace plenvo
