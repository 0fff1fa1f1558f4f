<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name></name>
    <message id="action.copyPath">
        <source>Copy Path</source>
        <translation>复制路径</translation>
    </message>
    <message id="action.moveToTrash">
        <source>Move to Trash</source>
        <translation>移到回收站</translation>
    </message>
    <message id="action.showInFinder">
        <source>Show in Folder</source>
        <translation>在文件夹中显示</translation>
    </message>
    <message id="amount.atLeast %@">
        <source>≥ %@</source>
        <translation>≥ %@</translation>
    </message>
    <message id="app.about">
        <source>About Plenvo</source>
        <translation>关于 Plenvo</translation>
    </message>
    <message id="app.name">
        <source>Plenvo</source>
        <translation>Plenvo</translation>
    </message>
    <message id="app.tagline">
        <source>See where your disk space goes</source>
        <translation>看清磁盘空间都去哪儿了</translation>
    </message>
    <message id="categories.allFiles">
        <source>All Files</source>
        <translation>全部文件</translation>
    </message>
    <message id="categories.fileCount %lld">
        <source>Files: %lld</source>
        <translation>%lld 个文件</translation>
    </message>
    <message id="categories.showMore">
        <source>Show More</source>
        <translation>显示更多</translation>
    </message>
    <message id="categories.summary %lld %@">
        <source>Categories: %lld · Total: %@</source>
        <translation>%lld 个类别 · 共 %@</translation>
    </message>
    <message id="categories.title">
        <source>Categories</source>
        <translation>分类</translation>
    </message>
    <message id="categories.total">
        <source>Total</source>
        <translation>总计</translation>
    </message>
    <message id="categories.visibleFileCount %lld %lld">
        <source>Showing %lld of %lld</source>
        <translation>显示 %lld / %lld 个文件</translation>
    </message>
    <message id="category.applications">
        <source>Applications</source>
        <translation>应用程序</translation>
    </message>
    <message id="category.archives">
        <source>Archives</source>
        <translation>压缩包</translation>
    </message>
    <message id="category.audio">
        <source>Audio</source>
        <translation>音频</translation>
    </message>
    <message id="category.caches">
        <source>Caches</source>
        <translation>缓存</translation>
    </message>
    <message id="category.code">
        <source>Code</source>
        <translation>代码</translation>
    </message>
    <message id="category.documents">
        <source>Documents</source>
        <translation>文档</translation>
    </message>
    <message id="category.images">
        <source>Images</source>
        <translation>图片</translation>
    </message>
    <message id="category.other">
        <source>Other</source>
        <translation>其他</translation>
    </message>
    <message id="category.system">
        <source>System</source>
        <translation>系统</translation>
    </message>
    <message id="category.videos">
        <source>Videos</source>
        <translation>视频</translation>
    </message>
    <message id="changes.chooseFile">
        <source>Compare with a File…</source>
        <translation>与文件对比…</translation>
    </message>
    <message id="changes.compareWith">
        <source>Compare with an earlier scan</source>
        <translation>与之前的扫描对比</translation>
    </message>
    <message id="changes.comparing">
        <source>Comparing with the earlier scan…</source>
        <translation>正在与之前的扫描对比…</translation>
    </message>
    <message id="changes.failed">
        <source>The earlier scan can’t be read</source>
        <translation>无法读取之前的扫描</translation>
    </message>
    <message id="changes.files %@">
        <source>%@ files</source>
        <translation>%@ 个文件</translation>
    </message>
    <message id="changes.filterHelp">
        <source>Show or hide what holds changes of this kind</source>
        <translation>显示或隐藏含有此类变化的项目</translation>
    </message>
    <message id="changes.from %@">
        <source>from %@</source>
        <translation>原位置 %@</translation>
    </message>
    <message id="changes.fromFile %@">
        <source>%@ (file)</source>
        <translation>%@（文件）</translation>
    </message>
    <message id="changes.kind.appeared">
        <source>New</source>
        <translation>新增</translation>
    </message>
    <message id="changes.kind.gone">
        <source>Gone</source>
        <translation>已消失</translation>
    </message>
    <message id="changes.kind.grown">
        <source>Grew</source>
        <translation>增大</translation>
    </message>
    <message id="changes.kind.moved">
        <source>Moved</source>
        <translation>已移动</translation>
    </message>
    <message id="changes.kind.shrunk">
        <source>Shrank</source>
        <translation>缩小</translation>
    </message>
    <message id="changes.kind.unchanged">
        <source>No net change</source>
        <translation>无净变化</translation>
    </message>
    <message id="changes.movedFolders %@">
        <source>folders moved: %@</source>
        <translation>移动的文件夹：%@</translation>
    </message>
    <message id="changes.net">
        <source>Net change</source>
        <translation>净变化</translation>
    </message>
    <message id="changes.none.detail">
        <source>Scans are kept in the history from now on, so the next scan of this folder can be compared with this one. You can also compare with a saved scan.</source>
        <translation>从现在起扫描会保留在历史中，下次扫描此文件夹时即可与本次对比。也可以与已保存的扫描对比。</translation>
    </message>
    <message id="changes.none.title">
        <source>No earlier scan of this folder</source>
        <translation>没有此文件夹之前的扫描</translation>
    </message>
    <message id="changes.nothing">
        <source>Nothing changed since the earlier scan.</source>
        <translation>与之前的扫描相比没有变化。</translation>
    </message>
    <message id="changes.nothingHere">
        <source>Nothing here matches the filters.</source>
        <translation>此处没有符合筛选条件的项目。</translation>
    </message>
    <message id="changes.oneFile">
        <source>1 file</source>
        <translation>1 个文件</translation>
    </message>
    <message id="changes.since %@">
        <source>Since %@</source>
        <translation>自 %@ 以来</translation>
    </message>
    <message id="changes.title">
        <source>Changes</source>
        <translation>变化</translation>
    </message>
    <message id="changes.top">
        <source>Top of the scanned folder</source>
        <translation>扫描的文件夹顶层</translation>
    </message>
    <message id="changes.updating">
        <source>Updating…</source>
        <translation>正在更新…</translation>
    </message>
    <message id="changes.was %@">
        <source>was %@</source>
        <translation>原为 %@</translation>
    </message>
    <message id="cleanup.deselectAll">
        <source>Deselect All</source>
        <translation>取消全选</translation>
    </message>
    <message id="cleanup.moveToTrash">
        <source>Move to Trash</source>
        <translation>移到回收站</translation>
    </message>
    <message id="cleanup.moveToTrashCount %lld">
        <source>Move to Trash (%lld)</source>
        <translation>将 %lld 项移到回收站</translation>
    </message>
    <message id="cleanup.selectAll">
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message id="cleanup.selectedCount %lld %@">
        <source>%lld selected · %@</source>
        <translation>已选 %lld 项 · %@</translation>
    </message>
    <message id="date.unknown">
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message id="delete.busy">
        <source>Moving to the Trash…</source>
        <translation>正在移到回收站…</translation>
    </message>
    <message id="delete.changed %@">
        <source>“%@” is no longer the item that was scanned: left where it is</source>
        <translation>“%@”已不是扫描时的项目，未移动</translation>
    </message>
    <message id="delete.changedCount %lld">
        <source>%lld changed since the scan, left where they are</source>
        <translation>%lld 项在扫描后已改变，未移动</translation>
    </message>
    <message id="delete.done.batch %lld %@">
        <source>%lld removed · %@ freed</source>
        <translation>已移除 %lld 项，释放了 %@</translation>
    </message>
    <message id="delete.done.batchWithFailures %lld %@ %lld">
        <source>%lld removed · %@ freed · %lld failed</source>
        <translation>已移除 %lld 项，释放了 %@；%lld 项失败</translation>
    </message>
    <message id="delete.done.single %@">
        <source>Moved to Trash · %@ freed</source>
        <translation>已移到回收站，释放了 %@</translation>
    </message>
    <message id="delete.failed %@">
        <source>Couldn’t move “%@” to Trash</source>
        <translation>无法将“%@”移到回收站</translation>
    </message>
    <message id="delete.inProgress">
        <source>Moving to Trash…</source>
        <translation>正在移到回收站…</translation>
    </message>
    <message id="delete.progress %lld %lld">
        <source>Moving to Trash… %lld of %lld</source>
        <translation>正在移到回收站… 第 %lld 项，共 %lld 项</translation>
    </message>
    <message id="duplicates.allMarked">
        <source>Every copy is marked: one will stay</source>
        <translation>所有副本均已标记：将保留一份</translation>
    </message>
    <message id="duplicates.checking">
        <source>Checking…</source>
        <translation>正在检查…</translation>
    </message>
    <message id="duplicates.comparingLengths %@">
        <source>Comparing the lengths of %@ files</source>
        <translation>正在比较 %@ 个文件的大小</translation>
    </message>
    <message id="duplicates.groupDetail %lld %@">
        <source>%lld copies of %@</source>
        <translation>%lld 个副本，每个 %@</translation>
    </message>
    <message id="duplicates.inviteDetail">
        <source>Compares the content of the files of this scan that are 1 KB or larger. Files are only read, never changed.</source>
        <translation>比较此次扫描中 1 KB 及以上文件的内容。文件只会被读取，不会被修改。</translation>
    </message>
    <message id="duplicates.inviteTitle">
        <source>Find Files with the Same Content</source>
        <translation>查找内容相同的文件</translation>
    </message>
    <message id="duplicates.keepInFolder %@">
        <source>Keep the Copies in “%@”</source>
        <translation>保留“%@”中的副本</translation>
    </message>
    <message id="duplicates.keepInThisFolder">
        <source>Keep the Copies in This Folder</source>
        <translation>保留此文件夹中的副本</translation>
    </message>
    <message id="duplicates.keepNewest">
        <source>Keep the Newest Copy</source>
        <translation>保留最新的副本</translation>
    </message>
    <message id="duplicates.keepOldest">
        <source>Keep the Oldest Copy</source>
        <translation>保留最旧的副本</translation>
    </message>
    <message id="duplicates.keptWhole %lld">
        <source>every copy of %lld groups was marked: one copy of each stays</source>
        <translation>%lld 组的所有副本均被标记：每组保留一份</translation>
    </message>
    <message id="duplicates.mark">
        <source>Mark</source>
        <translation>标记</translation>
    </message>
    <message id="duplicates.markHint">
        <source>Mark the copies to move, or use Select</source>
        <translation>标记要移除的副本，或使用“选择”</translation>
    </message>
    <message id="duplicates.markedCount %lld %@">
        <source>%lld marked · %@</source>
        <translation>已标记 %lld 个 · %@</translation>
    </message>
    <message id="duplicates.moveMarked">
        <source>Move Marked to Trash</source>
        <translation>将标记的文件移到回收站</translation>
    </message>
    <message id="duplicates.noLongerCopies %lld">
        <source>%lld no longer copies of another file: left where they are</source>
        <translation>%lld 个文件已不再是副本，未移动</translation>
    </message>
    <message id="duplicates.noneDetail">
        <source>No two files of 1 KB or larger in this scan have the same content.</source>
        <translation>此次扫描中没有内容相同的 1 KB 及以上的文件。</translation>
    </message>
    <message id="duplicates.noneTitle">
        <source>No Duplicates</source>
        <translation>没有重复文件</translation>
    </message>
    <message id="duplicates.nothingMoved">
        <source>Nothing moved</source>
        <translation>未移动任何文件</translation>
    </message>
    <message id="duplicates.reading %@ %@">
        <source>Reading %@ of %@ files</source>
        <translation>正在读取第 %@ 个文件，共 %@ 个</translation>
    </message>
    <message id="duplicates.search">
        <source>Find Duplicates</source>
        <translation>查找重复文件</translation>
    </message>
    <message id="duplicates.searchAgain">
        <source>Search Again</source>
        <translation>重新查找</translation>
    </message>
    <message id="duplicates.searching">
        <source>Looking for Duplicates…</source>
        <translation>正在查找重复文件…</translation>
    </message>
    <message id="duplicates.select">
        <source>Select</source>
        <translation>选择</translation>
    </message>
    <message id="duplicates.subtitle">
        <source>Files with the same content</source>
        <translation>内容相同的文件</translation>
    </message>
    <message id="duplicates.summary %@ %@">
        <source>%@ groups · %@ can be freed</source>
        <translation>%@ 组 · 可释放 %@</translation>
    </message>
    <message id="duplicates.unmark">
        <source>Unmark</source>
        <translation>取消标记</translation>
    </message>
    <message id="duplicates.unmarkAll">
        <source>Unmark All</source>
        <translation>取消全部标记</translation>
    </message>
    <message id="duplicates.unreadable %lld">
        <source>%lld files could not be read and were left out</source>
        <translation>%lld 个文件无法读取，已跳过</translation>
    </message>
    <message id="duplicates.wastedCaption">
        <source>can be freed</source>
        <translation>可释放</translation>
    </message>
    <message id="duplicates.wholeGroups %lld">
        <source>%lld groups fully marked keep one copy each</source>
        <translation>%lld 组全部标记，各保留一份</translation>
    </message>
    <message id="export.busy">
        <source>Wait until the export is written</source>
        <translation>请等待导出完成</translation>
    </message>
    <message id="export.dialogTitle">
        <source>Export Scan</source>
        <translation>导出扫描结果</translation>
    </message>
    <message id="export.done %@">
        <source>Scan exported to “%@”</source>
        <translation>扫描结果已导出到“%@”</translation>
    </message>
    <message id="export.failed %@">
        <source>Couldn’t export the scan: %@</source>
        <translation>无法导出扫描结果：%@</translation>
    </message>
    <message id="fileList.selectHint">
        <source>Select files to clean up</source>
        <translation>选择要清理的文件</translation>
    </message>
    <message id="header.openedFrom %@">
        <source>From a file · scanned %@</source>
        <translation>来自文件 · 扫描于 %@</translation>
    </message>
    <message id="header.rescan">
        <source>Rescan</source>
        <translation>重新扫描</translation>
    </message>
    <message id="header.rescanHelp %@">
        <source>Scan %@ again</source>
        <translation>重新扫描 %@</translation>
    </message>
    <message id="header.stopped">
        <source>Scan stopped</source>
        <translation>扫描已停止</translation>
    </message>
    <message id="history.keep">
        <source>Keep a History of Scans</source>
        <translation>保留扫描历史</translation>
    </message>
    <message id="history.keepThem">
        <source>Keep Them</source>
        <translation>保留</translation>
    </message>
    <message id="history.remove">
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message id="history.removeDetail %@ %@">
        <source>Scans kept: %@, taking %@ on disk. New scans are no longer kept either way.</source>
        <translation>已保留的扫描：%@，占用磁盘 %@。无论如何，新的扫描都不会再保留。</translation>
    </message>
    <message id="history.removeTitle">
        <source>Remove the kept scans?</source>
        <translation>删除已保留的扫描？</translation>
    </message>
    <message id="history.removed %@">
        <source>Kept scans removed: %@</source>
        <translation>已删除保留的扫描：%@</translation>
    </message>
    <message id="history.saveFailed %@">
        <source>This scan can’t be kept in the history: %@</source>
        <translation>无法将此次扫描保留到历史中：%@</translation>
    </message>
    <message id="import.dialogTitle">
        <source>Open a Saved Scan</source>
        <translation>打开已保存的扫描结果</translation>
    </message>
    <message id="import.error.badName">
        <source>An entry in the file has a name that isn’t allowed (empty, “.”, “..” or holding “/”).</source>
        <translation>文件中有条目的名称不被允许（为空、“.”、“..”或含有“/”）。</translation>
    </message>
    <message id="import.error.badValue">
        <source>The file holds a value of the wrong kind.</source>
        <translation>文件中有类型错误的值。</translation>
    </message>
    <message id="import.error.duplicateName">
        <source>Two entries of one folder in the file have the same name, which no real folder can hold.</source>
        <translation>文件中同一文件夹内有两个同名条目，真实的文件夹不可能如此。</translation>
    </message>
    <message id="import.error.missingName">
        <source>An entry in the file has no name.</source>
        <translation>文件中有条目没有名称。</translation>
    </message>
    <message id="import.error.negativeSize">
        <source>The file holds a negative size.</source>
        <translation>文件中有为负数的大小。</translation>
    </message>
    <message id="import.error.notAFile">
        <source>It isn’t a regular file, but a folder, a pipe or a device.</source>
        <translation>它不是普通文件，而是文件夹、管道或设备。</translation>
    </message>
    <message id="import.error.notAnExport">
        <source>It isn’t a scan saved in ncdu’s export format.</source>
        <translation>它不是以 ncdu 导出格式保存的扫描结果。</translation>
    </message>
    <message id="import.error.outOfRange">
        <source>The file holds a number that is too large.</source>
        <translation>文件中有超出范围的数值。</translation>
    </message>
    <message id="import.error.syntax">
        <source>The file is damaged: its text isn’t well-formed.</source>
        <translation>文件已损坏：其内容格式不正确。</translation>
    </message>
    <message id="import.error.tooLarge">
        <source>The scan is too large to open with the memory available.</source>
        <translation>该扫描结果过大，可用内存不足以打开它。</translation>
    </message>
    <message id="import.error.trailingGarbage">
        <source>The file holds more after the end of the scan.</source>
        <translation>扫描结果结束之后，文件中还有多余的内容。</translation>
    </message>
    <message id="import.error.truncated">
        <source>The file ends too early: it is incomplete.</source>
        <translation>文件提前结束，内容不完整。</translation>
    </message>
    <message id="import.error.unreadable">
        <source>The file can’t be read, or its compression is damaged.</source>
        <translation>无法读取该文件，或其压缩数据已损坏。</translation>
    </message>
    <message id="import.error.unsupportedVersion">
        <source>It was saved in a version of the format that Plenvo can’t read.</source>
        <translation>它所用的格式版本 Plenvo 无法读取。</translation>
    </message>
    <message id="import.failed %@ %@">
        <source>Couldn’t open “%@”. %@</source>
        <translation>无法打开“%@”。%@</translation>
    </message>
    <message id="import.filesRead %lld">
        <source>Files read: %lld</source>
        <translation>已读取 %lld 个文件</translation>
    </message>
    <message id="import.filterAll">
        <source>All Files</source>
        <translation>所有文件</translation>
    </message>
    <message id="import.filterScans">
        <source>Scan Exports</source>
        <translation>扫描导出文件</translation>
    </message>
    <message id="import.title">
        <source>Opening Scan…</source>
        <translation>正在打开扫描结果…</translation>
    </message>
    <message id="inspector.contents">
        <source>Contents</source>
        <translation>内容</translation>
    </message>
    <message id="inspector.created">
        <source>Created</source>
        <translation>创建</translation>
    </message>
    <message id="inspector.dates">
        <source>Dates</source>
        <translation>日期</translation>
    </message>
    <message id="inspector.emptyDesc">
        <source>Select a file or folder to see its details.</source>
        <translation>选择一个文件或文件夹以查看详细信息。</translation>
    </message>
    <message id="inspector.emptyTitle">
        <source>No Selection</source>
        <translation>未选择项目</translation>
    </message>
    <message id="inspector.files">
        <source>Files</source>
        <translation>文件</translation>
    </message>
    <message id="inspector.folders">
        <source>Folders</source>
        <translation>文件夹</translation>
    </message>
    <message id="inspector.modified">
        <source>Modified</source>
        <translation>修改</translation>
    </message>
    <message id="inspector.path">
        <source>Path</source>
        <translation>路径</translation>
    </message>
    <message id="inspector.size">
        <source>Size</source>
        <translation>大小</translation>
    </message>
    <message id="inspector.totalFiles">
        <source>Total Files</source>
        <translation>文件总数</translation>
    </message>
    <message id="largeFiles.count %lld">
        <source>Top %lld by size</source>
        <translation>最大的 %lld 个文件</translation>
    </message>
    <message id="largeFiles.title">
        <source>Large Files</source>
        <translation>大文件</translation>
    </message>
    <message id="menu.edit">
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message id="menu.exportScan">
        <source>Export Scan…</source>
        <translation>导出扫描结果…</translation>
    </message>
    <message id="menu.file">
        <source>File</source>
        <translation>文件</translation>
    </message>
    <message id="menu.openScan">
        <source>Open Scan…</source>
        <translation>打开扫描结果…</translation>
    </message>
    <message id="menu.undoMove">
        <source>Undo Move to Trash</source>
        <translation>撤销移到回收站</translation>
    </message>
    <message id="menu.view">
        <source>View</source>
        <translation>视图</translation>
    </message>
    <message id="menu.help">
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Plenvo</source>
        <translation>退出 Plenvo</translation>
    </message>
    <message id="overview.files">
        <source>Files</source>
        <translation>文件</translation>
    </message>
    <message id="overview.folders">
        <source>Folders</source>
        <translation>文件夹</translation>
    </message>
    <message id="overview.foldersOwnSize %@">
        <source>Folders themselves take %@ more</source>
        <translation>文件夹本身另占 %@</translation>
    </message>
    <message id="overview.largestFiles">
        <source>Largest Files</source>
        <translation>最大的文件</translation>
    </message>
    <message id="overview.noFiles">
        <source>No files here.</source>
        <translation>这里没有文件。</translation>
    </message>
    <message id="overview.openedFrom %@ %@">
        <source>%@ · opened from “%@”</source>
        <translation>%@ · 从“%@”打开</translation>
    </message>
    <message id="overview.spaceUsage">
        <source>Space Usage</source>
        <translation>空间占用</translation>
    </message>
    <message id="overview.stoppedNote">
        <source>The scan was stopped before it read everything: sizes and counts marked ≥ count only what was read.</source>
        <translation>扫描在读取完所有内容之前已停止：标有 ≥ 的大小和数量只计入已读取的部分。</translation>
    </message>
    <message id="overview.totalSize">
        <source>Total Size</source>
        <translation>总大小</translation>
    </message>
    <message id="overview.types">
        <source>File Types</source>
        <translation>文件类型</translation>
    </message>
    <message id="overview.typesCount %lld">
        <source>%lld in use</source>
        <translation>%lld 种</translation>
    </message>
    <message id="picker.applications">
        <source>Applications</source>
        <translation>应用程序</translation>
    </message>
    <message id="picker.cancel">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="picker.chooseFolder">
        <source>Choose Folder…</source>
        <translation>选择文件夹…</translation>
    </message>
    <message id="picker.desc">
        <source>Pick a folder to find out what is taking up space.</source>
        <translation>选择一个文件夹，看看空间都被什么占用了。</translation>
    </message>
    <message id="picker.desktop">
        <source>Desktop</source>
        <translation>桌面</translation>
    </message>
    <message id="picker.documents">
        <source>Documents</source>
        <translation>文档</translation>
    </message>
    <message id="picker.downloads">
        <source>Downloads</source>
        <translation>下载</translation>
    </message>
    <message id="picker.home">
        <source>Home</source>
        <translation>主文件夹</translation>
    </message>
    <message id="picker.scan">
        <source>Scan</source>
        <translation>扫描</translation>
    </message>
    <message id="picker.title">
        <source>Choose a Folder to Scan</source>
        <translation>选择要扫描的文件夹</translation>
    </message>
    <message id="readOnly.detail">
        <source>This scan was opened from a file. Its files aren’t on this computer, or no longer as they were, so they can’t be shown in a folder or moved to the Trash.</source>
        <translation>此扫描结果是从文件打开的。其中的文件不在这台电脑上，或已与扫描时不同，因此无法在文件夹中显示，也无法移到回收站。</translation>
    </message>
    <message id="readOnly.note">
        <source>Opened from a file: read-only</source>
        <translation>从文件打开：只读</translation>
    </message>
    <message id="reveal.foldersLeftOut %lld %lld">
        <source>Opened %lld folders; %lld more were left out.</source>
        <translation>已打开 %lld 个文件夹，另有 %lld 个未打开。</translation>
    </message>
    <message id="scanning.filesScanned %lld">
        <source>Files scanned: %lld</source>
        <translation>已扫描 %lld 个文件</translation>
    </message>
    <message id="scanning.stop">
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message id="scanning.stopTimedOut">
        <source>The scan did not stop in time (a folder is not answering), so nothing of it was kept.</source>
        <translation>扫描未能及时停止（某个文件夹没有响应），因此未保留任何扫描结果。</translation>
    </message>
    <message id="scanning.stopping">
        <source>Stopping…</source>
        <translation>正在停止…</translation>
    </message>
    <message id="scanning.title">
        <source>Scanning…</source>
        <translation>正在扫描…</translation>
    </message>
    <message id="sidebar.actions">
        <source>Actions</source>
        <translation>操作</translation>
    </message>
    <message id="sidebar.caches">
        <source>Caches</source>
        <translation>缓存</translation>
    </message>
    <message id="sidebar.categories">
        <source>Categories</source>
        <translation>分类</translation>
    </message>
    <message id="sidebar.changes">
        <source>Changes</source>
        <translation>变化</translation>
    </message>
    <message id="sidebar.cleanup">
        <source>Cleanup</source>
        <translation>清理</translation>
    </message>
    <message id="sidebar.duplicates">
        <source>Duplicates</source>
        <translation>重复文件</translation>
    </message>
    <message id="sidebar.largeFiles">
        <source>Large Files</source>
        <translation>大文件</translation>
    </message>
    <message id="sidebar.newScan">
        <source>New Scan…</source>
        <translation>新建扫描…</translation>
    </message>
    <message id="sidebar.overview">
        <source>Overview</source>
        <translation>概览</translation>
    </message>
    <message id="sidebar.treeMap">
        <source>Treemap</source>
        <translation>树状图</translation>
    </message>
    <message id="sidebar.views">
        <source>Views</source>
        <translation>视图</translation>
    </message>
    <message id="size.byte %@">
        <source>%@ byte</source>
        <translation>%@ 字节</translation>
    </message>
    <message id="size.bytes %@">
        <source>%@ bytes</source>
        <translation>%@ 字节</translation>
    </message>
    <message id="toast.undo">
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message id="toolbar.hideInspector">
        <source>Hide Inspector</source>
        <translation>隐藏详情面板</translation>
    </message>
    <message id="toolbar.inspectorNeedsRoom">
        <source>Make the window wider to show the inspector</source>
        <translation>加宽窗口即可显示详情面板</translation>
    </message>
    <message id="toolbar.showInspector">
        <source>Show Inspector</source>
        <translation>显示详情面板</translation>
    </message>
    <message id="treemap.empty">
        <source>Nothing in this folder takes up space.</source>
        <translation>此文件夹中没有占用空间的内容。</translation>
    </message>
    <message id="treemap.fileTile %@ %@">
        <source>%@, %@</source>
        <translation>%@，%@</translation>
    </message>
    <message id="treemap.folderTile %@ %@">
        <source>Folder %@, %@</source>
        <translation>文件夹 %@，%@</translation>
    </message>
    <message id="treemap.goBack">
        <source>Back</source>
        <translation>返回上一级</translation>
    </message>
    <message id="undo.done %lld">
        <source>%lld put back</source>
        <translation>已放回 %lld 项</translation>
    </message>
    <message id="undo.done.single %@">
        <source>“%@” is back</source>
        <translation>“%@”已放回原处</translation>
    </message>
    <message id="undo.failed %@">
        <source>Couldn’t put back: %@</source>
        <translation>无法放回：%@</translation>
    </message>
    <message id="undo.notInTrash %@">
        <source>No longer in the Trash: %@</source>
        <translation>已不在回收站中：%@</translation>
    </message>
    <message id="undo.progress %lld %lld">
        <source>Putting back… %lld of %lld</source>
        <translation>正在放回… 第 %lld 项，共 %lld 项</translation>
    </message>
    <message id="undo.taken %@">
        <source>Left in the Trash, their places are taken: %@</source>
        <translation>仍在回收站（原位置已被占用）：%@</translation>
    </message>
    <message id="welcome.dragHint">
        <source>Or drop a folder here</source>
        <translation>也可以把文件夹拖到这里</translation>
    </message>
    <message id="welcome.recentScans">
        <source>Recent Scans</source>
        <translation>最近的扫描</translation>
    </message>
    <message id="welcome.scanHome">
        <source>Scan Home Folder</source>
        <translation>扫描主文件夹</translation>
    </message>
    <message id="welcome.selectFolder">
        <source>Choose a Folder…</source>
        <translation>选择文件夹…</translation>
    </message>
    <message id="window.openedTitle %@ %@">
        <source>%@ (scanned %@, opened from a file)</source>
        <translation>%@（扫描于 %@，从文件打开）</translation>
    </message>
</context>
</TS>
