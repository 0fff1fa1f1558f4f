#include "AppState.h"

#include "ChangesTracker.h"
#include "GioTrash.h"
#include "HistoryKeeper.h"
#include "UiThread.h"
#include "services/HashCache.h"
#include "services/NcduWriter.h"
#include "utils/DisplayText.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QPointer>

#include <sys/stat.h>

#include <algorithm>

namespace plenvo {

namespace {

QString displayPath(const std::string& path)
{
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

// The last component of a location, for display.
QString fileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return DisplayText::fromBytes(slash == std::string::npos
                                      ? std::string_view(path)
                                      : std::string_view(path).substr(slash + 1));
}

// When the file at `path` was last changed, in milliseconds since the Unix epoch; 0 when unknown.
std::int64_t modificationDate(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return 0;
    return std::int64_t(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
}

} // namespace

AppState::AppState(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services))
{
    if (!m_services.trash)
        m_services.trash = std::make_shared<GioTrash>();
    m_scanner.setListingHook(m_services.beforeListing);
    if (m_services.scanThreads > 0)
        m_scanner.setThreads(m_services.scanThreads);
    m_editor = new ResultEditor(*this, m_work, m_services.trash);
    m_history = new HistoryKeeper(*this, m_work,
                                  m_services.historyFolder.empty()
                                      ? ScanHistory()
                                      : ScanHistory(m_services.historyFolder));
    m_changes = new ChangesTracker(*this, m_work);
    // A second search of the same files reads only what changed.
    m_duplicateFinder.setHashCacheFile(HashCache::defaultFile());
    m_duplicateSearch = new DuplicateSearch(*this, m_work);
    connect(m_editor, &ResultEditor::progressChanged, this,
            [this] { publish(&AppState::deleteProgressChanged); });
    m_toastTimer.setSingleShot(true);
    m_toastTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_toastTimer, &QTimer::timeout, this, [this] { setToastMessage(std::nullopt); });
    m_stopWait.setSingleShot(true);
    connect(&m_stopWait, &QTimer::timeout, this, [this] {
        // A scanner that has returned is building what it read: that comes.
        if (!isStoppingScan() || (m_scanAnswered && *m_scanAnswered))
            return;
        abandonWork();
        showToast(L("scanning.stopTimedOut"), ToastKind::warning);
    });
}

AppState::AppState(std::shared_ptr<Trash> trash, QObject* parent)
    : AppState(Services{std::move(trash), {}, kToastMilliseconds, {}, {}, kStopWaitMilliseconds},
               parent)
{
}

QString AppState::importErrorText(NcduReader::ErrorKind kind)
{
    using K = NcduReader::ErrorKind;
    switch (kind) {
    case K::unreadable:
        return L("import.error.unreadable");
    case K::notAFile:
        return L("import.error.notAFile");
    case K::duplicateName:
        return L("import.error.duplicateName");
    case K::tooLarge:
        return L("import.error.tooLarge");
    case K::notAnExport:
        return L("import.error.notAnExport");
    case K::unsupportedVersion:
        return L("import.error.unsupportedVersion");
    case K::truncated:
        return L("import.error.truncated");
    case K::badValue:
        return L("import.error.badValue");
    case K::outOfRange:
        return L("import.error.outOfRange");
    case K::negativeSize:
        return L("import.error.negativeSize");
    case K::missingName:
        return L("import.error.missingName");
    case K::badName:
        return L("import.error.badName");
    case K::trailingGarbage:
        return L("import.error.trailingGarbage");
    case K::none:
    case K::syntax:
        break;
    }
    return L("import.error.syntax");
}

AppState::~AppState()
{
    // Every job is told to stop; m_work, destroyed last, waits for them a moment at most.
    m_work.cancelAll();
}

void AppState::publish(void (AppState::*signal)())
{
    Q_EMIT(this->*signal)();
    Q_EMIT changed();
}

void AppState::setSelectedNode(NodeRef node)
{
    if (node.get() == m_selectedNode.get())
        return;
    m_selectedNode = std::move(node);
    publish(&AppState::selectedNodeChanged);
}

void AppState::setNavigationSelection(std::optional<SidebarItem> item)
{
    if (item == m_navigationSelection)
        return;
    m_navigationSelection = item;
    publish(&AppState::navigationSelectionChanged);
}

void AppState::setShowDirectoryPicker(bool show)
{
    if (show == m_showDirectoryPicker)
        return;
    m_showDirectoryPicker = show;
    publish(&AppState::showDirectoryPickerChanged);
}

void AppState::setInspectorCandidateNodes(std::vector<NodeRef> nodes)
{
    const auto same = [](const NodeRef& a, const NodeRef& b) { return a.get() == b.get(); };
    if (std::equal(nodes.begin(), nodes.end(), m_inspectorCandidateNodes.begin(),
                   m_inspectorCandidateNodes.end(), same))
        return;
    m_inspectorCandidateNodes = std::move(nodes);
    publish(&AppState::inspectorCandidateNodesChanged);
}

void AppState::setToastMessage(std::optional<QString> message, ToastKind kind)
{
    if (message == m_toastMessage)
        return;
    m_toastMessage = std::move(message);
    m_toastKind = kind;
    if (!m_toastMessage)
        m_toastOffersUndo = false;
    publish(&AppState::toastMessageChanged);
}

void AppState::setDuplicateGroups(std::vector<DuplicateFinder::DuplicateGroup> groups)
{
    m_duplicateGroups = std::move(groups);
    publish(&AppState::duplicateGroupsChanged);
}

void AppState::setDuplicateSearch(bool scanning, const DuplicateFinder::Progress& progress)
{
    m_isDuplicateScanning = scanning;
    m_duplicateProgress = progress;
    publish(&AppState::duplicateSearchChanged);
}

void AppState::bumpRevision()
{
    ++m_contentRevision;
    publish(&AppState::contentRevisionChanged);
}

void AppState::clearSideCollections()
{
    if (!m_duplicateGroups.empty()) {
        m_duplicateGroups.clear();
        publish(&AppState::duplicateGroupsChanged);
    }
    if (!m_cacheLocations.empty()) {
        m_cacheLocations.clear();
        publish(&AppState::cacheLocationsChanged);
    }
}

void AppState::scanDirectory(const QString& path)
{
    scanDirectory(QFile::encodeName(path).toStdString());
}

void AppState::startWork(bool opening)
{
    // The running scan or open stops soon and publishes nothing; this one starts at once, also
    // when the other is stuck in the kernel.
    m_scanToken.cancel();
    m_scanToken = CancellationToken::create();
    m_stopToken = CancellationToken::create();
    m_scanAnswered = std::make_shared<std::atomic<bool>>(false);
    ++m_scanGeneration;
    m_duplicateSearch->clear(); // a scan or an open ends the search for duplicates
    m_isOpening = opening;
    setScanning(true);
}

void AppState::setScanning(bool scanning)
{
    // Whatever runs now was not asked to stop.
    m_stopWait.stop();
    const bool wasStopping = std::exchange(m_isStopping, false);
    m_isScanning = scanning;
    publish(&AppState::isScanningChanged);
    if (wasStopping)
        publish(&AppState::isStoppingChanged);
}

void AppState::abandonWork()
{
    m_scanToken.cancel();
    ++m_scanGeneration; // whatever the abandoned work still reports is dropped
    m_scanProgress = m_scanResult ? ScanProgress::completed(m_scanResult->totalFiles(),
                                                            m_scanResult->totalSize())
                                  : ScanProgress::idle();
    publish(&AppState::scanProgressChanged);
    setScanning(false);
}

std::function<void(const ScanProgress&)> AppState::progressFor(std::uint64_t generation)
{
    // Published on this thread while the work is the newest.
    return [self = QPointer<AppState>(this), generation](const ScanProgress& value) {
        postToUiThread([self, generation, value] {
            if (self && self->m_scanGeneration == generation) {
                self->m_scanProgress = value;
                self->publish(&AppState::scanProgressChanged);
            }
        });
    };
}

void AppState::scanDirectory(const std::string& path)
{
    startWork(false);
    m_scanProgress = ScanProgress::scanning(displayPath(path), 0);
    publish(&AppState::scanProgressChanged);
    clearSideCollections();

    const std::uint64_t generation = m_scanGeneration;
    QPointer<AppState> self(this);
    m_work.start(m_scanToken, [self, generation, path, answered = m_scanAnswered,
                               job = m_scanner.prepare(path, progressFor(generation), m_stopToken)](
                                  const CancellationToken& token) {
        DiskScanner::Outcome outcome = job(token);
        *answered = true;
        // The statistics are derived here, so that the user-interface thread only shows them.
        std::shared_ptr<ScanResult> result;
        if (outcome.root && !token.isCancelled()) {
            result = std::make_shared<ScanResult>(std::move(outcome.root),
                                                  QDateTime::currentMSecsSinceEpoch(), path);
            result->setFacts(std::move(outcome.facts));
            // Stopped after it had read everything, a scan is whole.
            result->setStopped(outcome.status == DiskScanner::Outcome::Status::stopped &&
                               result->rootNode()->isIncomplete());
        }
        postToUiThread([self, generation, outcome = std::move(outcome),
                        result = std::move(result)]() mutable {
            if (self)
                self->finishScan(generation, std::move(outcome), std::move(result));
        });
    });
}

void AppState::finishScan(std::uint64_t generation, DiskScanner::Outcome outcome,
                          std::shared_ptr<ScanResult> result)
{
    if (generation != m_scanGeneration)
        return; // superseded by a newer scan, or abandoned
    switch (outcome.status) {
    case DiskScanner::Outcome::Status::cancelled:
        return;
    case DiskScanner::Outcome::Status::failed:
        m_scanProgress = ScanProgress::failed(outcome.error);
        publish(&AppState::scanProgressChanged);
        setScanning(false);
        return;
    case DiskScanner::Outcome::Status::completed:
    case DiskScanner::Outcome::Status::stopped:
        break;
    }
    if (!result)
        return;
    publishResult(result, std::move(outcome.existence));
    // The history keeps whole scans: a later comparison with a part of one would find gone
    // what was not read.
    if (!result->wasStopped())
        m_history->keep(result);
}

void AppState::openScan(const QString& path)
{
    openScan(QFile::encodeName(path).toStdString());
}

void AppState::openScan(const std::string& path)
{
    startWork(true);
    m_scanProgress = ScanProgress::scanning(fileNameOf(path), 0);
    publish(&AppState::scanProgressChanged);

    const std::uint64_t generation = m_scanGeneration;
    QPointer<AppState> self(this);
    auto progress = progressFor(generation);
    // As scans are: a file on a mount that stopped answering holds up nothing.
    m_work.start(m_scanToken, [self, generation, path, progress = std::move(progress)](
                                  const CancellationToken& token) {
        NcduReader::Outcome outcome = NcduReader::readFile(path, progress, token);
        const std::int64_t fileDate = outcome.scanDate ? 0 : modificationDate(path);
        postToUiThread([self, generation, path, outcome = std::move(outcome), fileDate]() mutable {
            if (self)
                self->finishOpen(generation, std::move(outcome), path, fileDate);
        });
    });
}

void AppState::stopScan()
{
    if (!m_isScanning || m_isStopping)
        return;
    if (m_isOpening) {
        abandonWork(); // part of an export is not a scan of anything
        return;
    }
    m_isStopping = true;
    m_stopToken.cancel();
    publish(&AppState::isStoppingChanged);
    m_stopWait.start(m_services.stopWaitMilliseconds);
}

void AppState::finishOpen(std::uint64_t generation, NcduReader::Outcome outcome, std::string path,
                          std::int64_t fileDate)
{
    if (generation != m_scanGeneration)
        return; // superseded by a newer scan or open
    switch (outcome.status) {
    case NcduReader::Outcome::Status::cancelled:
        return;
    case NcduReader::Outcome::Status::failed: {
        const QString message =
            L("import.failed %@ %@", fileNameOf(path), importErrorText(outcome.error.kind));
        // What was shown before stays, usable.
        m_scanProgress = m_scanResult ? ScanProgress::completed(m_scanResult->totalFiles(),
                                                                m_scanResult->totalSize())
                                      : ScanProgress::failed(message);
        publish(&AppState::scanProgressChanged);
        setScanning(false);
        showToast(message, ToastKind::warning);
        return;
    }
    case NcduReader::Outcome::Status::completed:
        break;
    }
    auto result = std::make_shared<ScanResult>(
        std::move(outcome.root), outcome.scanDate.value_or(fileDate), std::move(outcome.rootPath));
    result->setFacts(std::move(outcome.facts));
    result->setOpenedFrom(std::move(path));
    result->setStopped(outcome.stopped);
    clearSideCollections();
    publishResult(std::move(result), nullptr);
}

bool AppState::exportScan(const QString& path)
{
    return exportScan(QFile::encodeName(path).toStdString());
}

bool AppState::exportScan(const std::string& path)
{
    if (!m_scanResult || m_isExporting || isDeleting() || m_isScanning)
        return false;
    m_isExporting = true;
    publish(&AppState::isExportingChanged);
    m_exportToken = CancellationToken::create();
    // The tree stays as it is while the export runs (the editor refuses changes meanwhile), and
    // the job holds the result, so the tree outlives it.
    m_exportResult = m_scanResult;
    const NcduWriter::Options options{m_scanResult->scanDate() / 1000,
                                      QCoreApplication::applicationVersion().toStdString(),
                                      m_scanResult->wasStopped()};
    QPointer<AppState> self(this);
    m_work.start(m_exportToken, [self, path, options, result = m_scanResult](
                                    const CancellationToken& token) {
        const NcduWriter::Outcome outcome = NcduWriter::writeFile(
            path, *result->rootNode(), result->facts().get(), options, token);
        postToUiThread([self, name = fileNameOf(path), outcome] {
            if (self)
                self->finishExport(name, outcome.error,
                                   outcome.status == NcduWriter::Outcome::Status::cancelled);
        });
    });
    return true;
}

void AppState::finishExport(const QString& name, const QString& error, bool cancelled)
{
    m_exportResult.reset();
    m_isExporting = false;
    publish(&AppState::isExportingChanged);
    if (!cancelled)
        showToast(error.isEmpty() ? L("export.done %@", name) : L("export.failed %@", error),
                  error.isEmpty() ? ToastKind::done : ToastKind::warning);
    if (m_checkAfterExport) {
        m_checkAfterExport = false;
        checkExternalDeletions();
    }
}

void AppState::showResult(std::shared_ptr<ScanResult> result)
{
    if (!result)
        return;
    // Any scan in progress would replace it when it ends.
    m_scanToken.cancel();
    ++m_scanGeneration;
    publishResult(std::move(result), nullptr);
}

void AppState::publishResult(std::shared_ptr<ScanResult> result,
                             std::shared_ptr<const FileExistenceIndex> existence)
{
    m_scanResult = std::move(result);
    m_existence = std::move(existence);
    ++m_resultSerial; // holds on the result before hold nothing now
    m_editor->resultReplaced();
    m_duplicateSearch->clear();
    publish(&AppState::scanResultChanged);
    bumpRevision();
    m_scanProgress = ScanProgress::completed(m_scanResult->totalFiles(), m_scanResult->totalSize());
    publish(&AppState::scanProgressChanged);
    setScanning(false);
    setNavigationSelection(SidebarItem::overview);
    // Changes that waited for readers of the tree before no longer wait.
    if (!m_afterReaders.empty())
        QMetaObject::invokeMethod(this, &AppState::runChangesAfterReaders, Qt::QueuedConnection);
}

void AppState::pruneAfterRemoval(const NodeIdSet& files)
{
    const auto gone = [&](const NodeRef& node) { return files.count(node->id()) != 0; };
    if (std::any_of(m_inspectorCandidateNodes.begin(), m_inspectorCandidateNodes.end(), gone)) {
        std::erase_if(m_inspectorCandidateNodes, gone);
        publish(&AppState::inspectorCandidateNodesChanged);
    }
    bool groupsChanged = false;
    for (DuplicateFinder::DuplicateGroup& group : m_duplicateGroups)
        groupsChanged |= std::erase_if(group.files, gone) > 0;
    groupsChanged |= std::erase_if(m_duplicateGroups, [](const auto& group) {
                         return group.files.size() < 2;
                     }) > 0;
    if (groupsChanged)
        publish(&AppState::duplicateGroupsChanged);
}

void AppState::checkExternalDeletions()
{
    if (!m_scanResult || m_isScanning || !m_existence || isReadOnly())
        return;
    if (m_isExporting) {
        m_checkAfterExport = true;
        return;
    }
    if (m_checkToken) {
        m_checkAgain = true; // one more when the running check ends
        return;
    }
    // What the scan found was noted while it ran; nothing of the tree is read off this thread.
    QPointer<AppState> self(this);
    std::weak_ptr<ScanResult> checked = m_scanResult;
    m_checkToken = m_work.start([index = m_existence, self, checked,
                                 probe = m_services.missingFiles](const CancellationToken& token) {
        std::vector<FileExistenceIndex::Missing> missing =
            probe ? probe(*index) : index->missingFiles(token);
        postToUiThread([self, checked, missing = std::move(missing), token] {
            if (self && !token.isCancelled())
                self->finishExternalCheck(checked, missing);
        });
    });
}

void AppState::finishExternalCheck(const std::weak_ptr<ScanResult>& checked,
                                   const std::vector<FileExistenceIndex::Missing>& missing)
{
    m_checkToken.reset();
    // The folder numbers belong to the scan behind the result that was checked.
    if (!missing.empty() && m_scanResult && m_scanResult == checked.lock()) {
        afterTreeReaders([this, checked, missing] {
            if (!m_scanResult || m_scanResult != checked.lock())
                return;
            if (m_isExporting)
                m_checkAfterExport = true; // the tree stays as it is until the export is written
            else
                m_editor->removeVanished(m_existence->nodesFor(m_scanResult->rootNode(), missing));
        });
    }
    if (m_checkAgain) {
        m_checkAgain = false;
        checkExternalDeletions();
    }
}

std::uint64_t AppState::holdTree(const std::shared_ptr<ScanResult>& result,
                                 CancellationToken token)
{
    if (!result || result != m_scanResult)
        return 0;
    m_holds.push_back({m_nextHold, std::move(token), m_resultSerial});
    return m_nextHold++;
}

void AppState::releaseTree(std::uint64_t hold)
{
    std::erase_if(m_holds, [&](const TreeHold& h) { return h.id == hold; });
    runChangesAfterReaders();
}

bool AppState::isTreeHeld() const
{
    return std::any_of(m_holds.begin(), m_holds.end(),
                       [&](const TreeHold& h) { return h.result == m_resultSerial; });
}

void AppState::afterTreeReaders(std::function<void()> change)
{
    m_afterReaders.push_back(std::move(change));
    runChangesAfterReaders();
}

void AppState::runChangesAfterReaders()
{
    // A change may start a reader again (or its signals may): what is left waits for it.
    bool landed = false;
    while (!m_afterReaders.empty() && !isTreeHeld()) {
        std::function<void()> change = std::move(m_afterReaders.front());
        m_afterReaders.erase(m_afterReaders.begin());
        change();
        landed = true;
    }
    if (m_afterReaders.empty()) {
        if (landed)
            Q_EMIT treeFree();
        return;
    }
    for (const TreeHold& hold : m_holds)
        if (hold.result == m_resultSerial)
            hold.token.cancel();
}

void AppState::showToast(const QString& message, ToastKind kind, bool offerUndo)
{
    const bool offerChanged = offerUndo != m_toastOffersUndo;
    m_toastOffersUndo = offerUndo;
    if (m_toastMessage == message && (offerChanged || kind != m_toastKind)) {
        m_toastKind = kind;
        publish(&AppState::toastMessageChanged); // the same words, another kind or offer
    }
    setToastMessage(message, kind);
    m_toastTimer.start(m_services.toastMilliseconds); // the latest message gets its full time
}

} // namespace plenvo
