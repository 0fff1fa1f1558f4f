#include "AppState.h"

#include "GioTrash.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QThreadPool>

#include <thread>

#include <algorithm>

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
            state.showToast(L("delete.done.batch %lld %@", moved, freed));
        else
            state.showToast(
                L("delete.done.batchWithFailures %lld %@ %lld", moved, freed, m_failures));
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
    if (m_checkToken)
        m_checkToken->cancel();
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

void AppState::setToastMessage(std::optional<QString> message)
{
    m_toastMessage = std::move(message);
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

void AppState::scanDirectory(const std::string& path)
{
    // The running scan stops at its next folder and publishes nothing; this one starts at once,
    // also when the other is stuck in the kernel.
    m_scanToken.cancel();
    m_isScanning = true;
    publish(&AppState::isScanningChanged);
    m_scanProgress = ScanProgress::scanning(displayPath(path), 0);
    publish(&AppState::scanProgressChanged);
    m_duplicateGroups.clear();
    publish(&AppState::duplicateGroupsChanged);
    m_cacheLocations.clear();
    publish(&AppState::cacheLocationsChanged);

    m_scanToken = CancellationToken::create();
    const std::uint64_t generation = ++m_scanGeneration;
    QPointer<AppState> self(this);
    auto progress = [self, generation](const ScanProgress& value) {
        onUiThread([self, generation, value] {
            if (self && self->m_scanGeneration == generation) {
                self->m_scanProgress = value;
                self->publish(&AppState::scanProgressChanged);
            }
        });
    };
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
    publishResult(std::move(result), std::move(outcome.existence));
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
    if (!node)
        return;
    const std::int64_t size = node->fileSize();
    const NodeIdSet ids{node->id()};
    const NodeRef replacement = replacementSelection(ids);
    if (!m_trash->moveToTrash(node->pathBytes())) {
        showToast(L("delete.failed %@", node->name()));
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
    if (nodes.empty() || m_isDeleting)
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
    if (!m_scanResult || m_scanResult->allFiles().empty() || m_isScanning || !m_existence)
        return;
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
    showToast(L("delete.done.batch %lld %@", qint64(gone.size()),
                FormatUtils::formatBytesCompact(bytes)));
}

void AppState::showToast(const QString& message)
{
    setToastMessage(message);
    m_toastTimer.start(m_toastDuration); // restarts: the latest message gets its full time
}

} // namespace plenvo
