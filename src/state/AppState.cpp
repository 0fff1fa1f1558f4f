#include "AppState.h"

#include "GioTrash.h"
#include "services/NcduWriter.h"
#include "utils/DisplayText.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QThreadPool>

#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace plenvo {

namespace {

// Runs `work` on the thread of the application object (the user-interface thread); nowhere
// once the application is gone (a scan left behind at exit may end after it).
template <typename Work> void onUiThread(Work work)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

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

// The sentence that says why an export could not be read.
QString importErrorText(NcduReader::ErrorKind kind)
{
    using K = NcduReader::ErrorKind;
    switch (kind) {
    case K::unreadable:
        return L("import.error.unreadable");
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

} // namespace

// A batch of moves to the Trash: one move at a time on a worker thread, the progress
// published after each, and the tree and the statistics updated once at the end.
class AppState::Batch : public QObject {
public:
    Batch(AppState* state, std::vector<NodeRef> nodes, NodeRef replacement)
        : QObject(state), m_state(state), m_nodes(std::move(nodes)),
          m_replacement(std::move(replacement))
    {
        m_items.reserve(m_nodes.size());
        for (const NodeRef& node : m_nodes)
            m_items.push_back({node->id(), node->pathBytes(), node->fileSize()});
    }

    void start()
    {
        QTimer::singleShot(kBatchStartDelayMilliseconds, this, [this] { next(); });
    }

private:
    struct Item {
        NodeId id;
        std::string path;
        std::int64_t size;
    };

    void next()
    {
        if (m_position == m_items.size()) {
            finish();
            return;
        }
        QPointer<Batch> self(this);
        std::shared_ptr<Trash> trash = m_state->m_trash;
        std::string path = m_items[m_position].path;
        QThreadPool::globalInstance()->start([self, trash, path] {
            const bool moved = trash->moveToTrash(path);
            onUiThread([self, moved] {
                if (self)
                    self->moved(moved);
            });
        });
    }

    void moved(bool ok)
    {
        const Item& item = m_items[m_position];
        if (ok) {
            m_succeeded.insert(item.id);
            m_bytesFreed += item.size;
        } else {
            ++m_failures;
        }
        ++m_position;
        m_state->m_deleteCount = std::int64_t(m_position);
        m_state->publish(&AppState::deleteProgressChanged);
        // Let other work of this thread (drawing, input) run before the next move.
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
    }

    void finish()
    {
        AppState& state = *m_state;
        std::vector<NodeRef> inTrash;
        for (const NodeRef& node : m_nodes) {
            if (m_succeeded.count(node->id())) {
                inTrash.push_back(node);
                state.removeDuplicateEntry(*node);
            }
        }
        detach(inTrash, m_succeeded);
        if (!m_succeeded.empty()) {
            if (state.m_scanResult)
                state.m_scanResult->removeNodes(m_succeeded);
            state.removeCandidates(m_succeeded);
            state.bumpRevision();
        }
        if (state.m_selectedNode && m_succeeded.count(state.m_selectedNode->id()))
            state.setSelectedNode(m_replacement);
        state.setDeleteProgress(false, 0, 0);
        const QString freed = FormatUtils::formatBytesCompact(m_bytesFreed);
        const auto moved = qint64(m_succeeded.size());
        if (m_failures < 1)
            state.showToast(L("delete.done.batch %lld %@", FormatUtils::countArg(moved), freed));
        else
            state.showToast(L("delete.done.batchWithFailures %lld %@ %lld",
                              FormatUtils::countArg(moved), freed,
                              FormatUtils::countArg(m_failures)),
                            ToastKind::warning);
        deleteLater();
    }

    AppState* m_state;
    std::vector<NodeRef> m_nodes;
    NodeRef m_replacement;
    std::vector<Item> m_items;
    std::size_t m_position = 0;
    NodeIdSet m_succeeded;
    qint64 m_failures = 0;
    std::int64_t m_bytesFreed = 0;
};

AppState::AppState(std::shared_ptr<Trash> trash, QObject* parent)
    : QObject(parent), m_trash(trash ? std::move(trash) : std::make_shared<GioTrash>()),
      m_scanner(std::make_unique<DiskScanner>())
{
    m_toastTimer.setSingleShot(true);
    m_toastTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_toastTimer, &QTimer::timeout, this, [this] { setToastMessage(std::nullopt); });
}

AppState::~AppState()
{
    // Stop the scanner's thread before anything it might report to goes away.
    m_scanToken.cancel();
    m_exportToken.cancel();
    if (m_checkToken)
        m_checkToken->cancel();
    // A cancelled export stops within a few thousand entries and leaves no file behind.
    if (m_exportThread.joinable())
        m_exportThread.join();
    m_scanner.reset();
}

void AppState::publish(void (AppState::*signal)())
{
    Q_EMIT(this->*signal)();
    Q_EMIT changed();
}

void AppState::setSelectedNode(NodeRef node)
{
    m_selectedNode = std::move(node);
    publish(&AppState::selectedNodeChanged);
}

void AppState::setNavigationSelection(std::optional<SidebarItem> item)
{
    m_navigationSelection = item;
    publish(&AppState::navigationSelectionChanged);
}

void AppState::setShowDirectoryPicker(bool show)
{
    m_showDirectoryPicker = show;
    publish(&AppState::showDirectoryPickerChanged);
}

void AppState::setInspectorCandidateNodes(std::vector<NodeRef> nodes)
{
    m_inspectorCandidateNodes = std::move(nodes);
    publish(&AppState::inspectorCandidateNodesChanged);
}

void AppState::setToastMessage(std::optional<QString> message, ToastKind kind)
{
    m_toastMessage = std::move(message);
    m_toastKind = kind;
    publish(&AppState::toastMessageChanged);
}

void AppState::setDuplicateGroups(std::vector<DuplicateFinder::DuplicateGroup> groups)
{
    m_duplicateGroups = std::move(groups);
    publish(&AppState::duplicateGroupsChanged);
}

void AppState::setDeleteProgress(bool deleting, std::int64_t count, std::int64_t total)
{
    m_isDeleting = deleting;
    m_deleteCount = count;
    m_deleteTotalCount = total;
    publish(&AppState::deleteProgressChanged);
}

void AppState::bumpRevision()
{
    ++m_contentRevision;
    publish(&AppState::contentRevisionChanged);
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
    ++m_scanGeneration;
    m_isOpening = opening;
    m_isScanning = true;
    publish(&AppState::isScanningChanged);
}

std::function<void(const ScanProgress&)> AppState::progressFor(std::uint64_t generation)
{
    // Published on this thread while the work is the newest.
    return [self = QPointer<AppState>(this), generation](const ScanProgress& value) {
        onUiThread([self, generation, value] {
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
    m_duplicateGroups.clear();
    publish(&AppState::duplicateGroupsChanged);
    m_cacheLocations.clear();
    publish(&AppState::cacheLocationsChanged);

    const std::uint64_t generation = m_scanGeneration;
    QPointer<AppState> self(this);
    auto progress = progressFor(generation);
    m_scanner->scan(path, std::move(progress), m_scanToken,
                    [self, generation, path](DiskScanner::Outcome outcome) {
                        onUiThread([self, generation, path, outcome] {
                            if (self)
                                self->finishScan(generation, outcome, path);
                        });
                    });
}

void AppState::finishScan(std::uint64_t generation, DiskScanner::Outcome outcome, std::string path)
{
    if (generation != m_scanGeneration)
        return; // superseded by a newer scan
    switch (outcome.status) {
    case DiskScanner::Outcome::Status::cancelled:
        return;
    case DiskScanner::Outcome::Status::failed:
        m_scanProgress = ScanProgress::failed(outcome.error);
        publish(&AppState::scanProgressChanged);
        m_isScanning = false;
        publish(&AppState::isScanningChanged);
        return;
    case DiskScanner::Outcome::Status::completed:
        break;
    }
    auto result = std::make_shared<ScanResult>(
        std::move(outcome.root), QDateTime::currentMSecsSinceEpoch(), std::move(path));
    result->setFacts(std::move(outcome.facts));
    publishResult(std::move(result), std::move(outcome.existence));
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
    // Detached, as scans are: a file on a mount that stopped answering holds up nothing.
    std::thread([self, generation, path, progress = std::move(progress), token = m_scanToken] {
        NcduReader::Outcome outcome = NcduReader::readFile(path, progress, token);
        const std::int64_t fileDate = outcome.scanDate ? 0 : modificationDate(path);
        onUiThread([self, generation, path, outcome = std::move(outcome), fileDate]() mutable {
            if (self)
                self->finishOpen(generation, std::move(outcome), path, fileDate);
        });
    }).detach();
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
        m_isScanning = false;
        publish(&AppState::isScanningChanged);
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
    m_duplicateGroups.clear();
    publish(&AppState::duplicateGroupsChanged);
    m_cacheLocations.clear();
    publish(&AppState::cacheLocationsChanged);
    publishResult(std::move(result), nullptr);
}

bool AppState::exportScan(const QString& path)
{
    return exportScan(QFile::encodeName(path).toStdString());
}

bool AppState::exportScan(const std::string& path)
{
    if (!m_scanResult || m_isExporting || m_isDeleting || m_isScanning)
        return false;
    if (m_exportThread.joinable())
        m_exportThread.join(); // the previous export has ended: its report came back
    m_isExporting = true;
    publish(&AppState::isExportingChanged);
    m_exportToken = CancellationToken::create();
    // The tree stays as it is while the export runs (see refusesTreeChanges) and outlives the
    // thread: the result is held here until the thread reports, and destruction joins it.
    m_exportResult = m_scanResult;
    const NcduWriter::Options options{m_scanResult->scanDate() / 1000,
                                      QCoreApplication::applicationVersion().toStdString()};
    QPointer<AppState> self(this);
    m_exportThread = std::thread([self, path, options, root = m_scanResult->rootNode().get(),
                                  facts = m_scanResult->facts(), token = m_exportToken] {
        const NcduWriter::Outcome outcome =
            NcduWriter::writeFile(path, *root, facts.get(), options, token);
        onUiThread([self, name = fileNameOf(path), outcome] {
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

bool AppState::refusesTreeChanges()
{
    if (isReadOnly())
        return true; // the views offer nothing; this is the second line of defence
    if (m_isExporting) {
        showToast(L("export.busy"), ToastKind::warning);
        return true;
    }
    return false;
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
    publish(&AppState::scanResultChanged);
    bumpRevision();
    m_scanProgress = ScanProgress::completed(m_scanResult->totalFiles(), m_scanResult->totalSize());
    publish(&AppState::scanProgressChanged);
    m_isScanning = false;
    publish(&AppState::isScanningChanged);
    setNavigationSelection(SidebarItem::overview);
}

NodeRef AppState::replacementSelection(const NodeIdSet& deleted) const
{
    if (m_selectedNode && !deleted.count(m_selectedNode->id()))
        return m_selectedNode;
    for (const NodeRef& node : m_inspectorCandidateNodes)
        if (!deleted.count(node->id()))
            return node;
    if (m_scanResult)
        for (const NodeRef& node : m_scanResult->topFiles())
            if (!deleted.count(node->id()))
                return node;
    return {};
}

void AppState::removeDuplicateEntry(const FileNode& node)
{
    const std::size_t count = m_duplicateGroups.size();
    for (std::size_t i = 0; i < count; ++i) {
        std::erase_if(m_duplicateGroups[i].files,
                      [&](const NodeRef& file) { return file->id() == node.id(); });
        publish(&AppState::duplicateGroupsChanged);
    }
    std::erase_if(m_duplicateGroups, [](const DuplicateFinder::DuplicateGroup& group) {
        return group.files.size() < 2;
    });
    publish(&AppState::duplicateGroupsChanged);
}

void AppState::detach(const NodeRef& node)
{
    if (FileNode* parent = node->parent())
        parent->removeChild(*node);
}

void AppState::detach(const std::vector<NodeRef>& nodes, const NodeIdSet& ids)
{
    // One pass over each folder's children, however many of them go.
    std::vector<FileNode*> parents;
    for (const NodeRef& node : nodes)
        if (FileNode* parent = node->parent())
            parents.push_back(parent);
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (FileNode* parent : parents)
        parent->removeChildren(ids);
}

void AppState::removeCandidates(const NodeIdSet& ids)
{
    std::erase_if(m_inspectorCandidateNodes,
                  [&](const NodeRef& node) { return ids.count(node->id()) != 0; });
    publish(&AppState::inspectorCandidateNodesChanged);
}

void AppState::deleteFile(const NodeRef& node)
{
    if (!node || refusesTreeChanges())
        return;
    const std::int64_t size = node->fileSize();
    const NodeIdSet ids{node->id()};
    const NodeRef replacement = replacementSelection(ids);
    if (!m_trash->moveToTrash(node->pathBytes())) {
        showToast(L("delete.failed %@", node->name()), ToastKind::warning);
        return;
    }
    detach(node);
    removeDuplicateEntry(*node);
    if (m_scanResult)
        m_scanResult->removeNodes(ids);
    removeCandidates(ids);
    bumpRevision();
    if (m_selectedNode && m_selectedNode->id() == node->id())
        setSelectedNode(replacement);
    showToast(L("delete.done.single %@", FormatUtils::formatBytesCompact(size)));
}

void AppState::deleteFiles(std::vector<NodeRef> nodes)
{
    std::erase(nodes, nullptr);
    if (nodes.empty() || m_isDeleting || refusesTreeChanges())
        return;
    if (nodes.size() == 1) {
        deleteFile(nodes.front());
        return;
    }
    setDeleteProgress(true, 0, std::int64_t(nodes.size()));
    NodeIdSet ids;
    for (const NodeRef& node : nodes)
        ids.insert(node->id());
    auto* batch = new Batch(this, std::move(nodes), replacementSelection(ids));
    batch->start();
}

void AppState::checkExternalDeletions()
{
    if (!m_scanResult || m_scanResult->allFiles().empty() || m_isScanning || !m_existence ||
        isReadOnly())
        return;
    if (m_isExporting) {
        m_checkAfterExport = true;
        return;
    }
    if (m_checkToken) {
        m_checkAgain = true; // one more when the running check ends
        return;
    }
    // What the scan found was noted while it ran; nothing of the tree is read here. The check
    // runs on a thread of its own, which is never waited for: a folder on a mount that stopped
    // answering holds up neither this thread nor quitting.
    m_checkToken = CancellationToken::create();
    QPointer<AppState> self(this);
    std::weak_ptr<ScanResult> checked = m_scanResult;
    std::thread([index = m_existence, self, checked, probe = m_missingFilesProbe,
                 token = *m_checkToken] {
        std::vector<FileExistenceIndex::Missing> missing =
            probe ? probe(*index) : index->missingFiles(token);
        onUiThread([self, checked, missing = std::move(missing), token] {
            if (self && !token.isCancelled())
                self->finishExternalCheck(checked, missing);
        });
    }).detach();
}

void AppState::finishExternalCheck(const std::weak_ptr<ScanResult>& checked,
                                   const std::vector<FileExistenceIndex::Missing>& missing)
{
    m_checkToken.reset();
    if (!missing.empty())
        applyExternalDeletions(checked, missing);
    if (m_checkAgain) {
        m_checkAgain = false;
        checkExternalDeletions();
    }
}

std::vector<NodeRef>
AppState::filesFor(const std::vector<FileExistenceIndex::Missing>& missing) const
{
    // Each folder is found from the root by the names of its folders; a file of it is gone
    // when its name has one of the missing hashes. A folder or file that left the tree since
    // the scan is not found, so nothing is taken twice.
    std::vector<NodeRef> files;
    const NodeRef& root = m_scanResult->rootNode();
    const FileExistenceIndex& index = *m_existence;
    std::vector<FileExistenceIndex::Missing> sorted = missing;
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return a.folder != b.folder ? a.folder < b.folder : a.nameHash < b.nameHash;
    });
    for (std::size_t i = 0; i < sorted.size();) {
        const std::uint32_t folder = sorted[i].folder;
        std::size_t end = i;
        while (end < sorted.size() && sorted[end].folder == folder)
            ++end;
        auto isMissing = [&](const FileNode& node) {
            const std::uint32_t hash = FileExistenceIndex::hashName(node.nameBytes());
            return std::any_of(sorted.begin() + std::ptrdiff_t(i),
                               sorted.begin() + std::ptrdiff_t(end),
                               [&](const auto& m) { return m.nameHash == hash; });
        };
        if (!root->isDirectory()) {
            if (isMissing(*root))
                files.push_back(root); // a scan of one file
        } else {
            std::vector<std::uint32_t> chain;
            for (std::uint32_t f = folder; index.parentOf(f) != FileExistenceIndex::kNoParent;
                 f = index.parentOf(f))
                chain.push_back(f);
            const FileNode* node = root.get();
            for (auto it = chain.rbegin(); it != chain.rend() && node; ++it) {
                const FileNode* next = nullptr;
                for (const NodeRef& child : node->children())
                    if (child->isDirectory() && child->nameBytes() == index.nameOf(*it)) {
                        next = child.get();
                        break;
                    }
                node = next;
            }
            if (node)
                for (const NodeRef& child : node->children())
                    if (!child->isDirectory() && isMissing(*child))
                        files.push_back(child);
        }
        i = end;
    }
    return files;
}

void AppState::applyExternalDeletions(const std::weak_ptr<ScanResult>& checked,
                                      const std::vector<FileExistenceIndex::Missing>& missing)
{
    // The folder numbers belong to the scan behind the result that was checked.
    if (!m_scanResult || m_scanResult != checked.lock())
        return;
    if (m_isExporting) {
        m_checkAfterExport = true; // the tree must stay as it is until the export is written
        return;
    }
    const std::vector<NodeRef> gone = filesFor(missing);
    if (gone.empty())
        return;
    NodeIdSet ids;
    std::int64_t bytes = 0;
    for (const NodeRef& node : gone) {
        ids.insert(node->id());
        bytes += node->fileSize();
    }
    detach(gone, ids);
    m_scanResult->removeNodes(ids);
    bumpRevision();
    showToast(L("delete.done.batch %lld %@", FormatUtils::countArg(qint64(gone.size())),
                FormatUtils::formatBytesCompact(bytes)));
}

void AppState::showToast(const QString& message, ToastKind kind)
{
    setToastMessage(message, kind);
    m_toastTimer.start(m_toastDuration); // restarts: the latest message gets its full time
}

} // namespace plenvo
