<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name></name>
    <message id="action.copyPath">
        <source>Copy Path</source>
        <translation>Copy Path</translation>
    </message>
    <message id="action.moveToTrash">
        <source>Move to Trash</source>
        <translation>Move to Trash</translation>
    </message>
    <message id="action.showInFinder">
        <source>Show in Folder</source>
        <translation>Show in Folder</translation>
    </message>
    <message id="amount.atLeast %@">
        <source>≥ %@</source>
        <translation>≥ %@</translation>
    </message>
    <message id="app.about">
        <source>About Plenvo</source>
        <translation>About Plenvo</translation>
    </message>
    <message id="app.name">
        <source>Plenvo</source>
        <translation>Plenvo</translation>
    </message>
    <message id="app.tagline">
        <source>See where your disk space goes</source>
        <translation>See where your disk space goes</translation>
    </message>
    <message id="categories.allFiles">
        <source>All Files</source>
        <translation>All Files</translation>
    </message>
    <message id="categories.fileCount %lld">
        <source>Files: %lld</source>
        <translation>Files: %lld</translation>
    </message>
    <message id="categories.showMore">
        <source>Show More</source>
        <translation>Show More</translation>
    </message>
    <message id="categories.summary %lld %@">
        <source>Categories: %lld · Total: %@</source>
        <translation>Categories: %lld · Total: %@</translation>
    </message>
    <message id="categories.title">
        <source>Categories</source>
        <translation>Categories</translation>
    </message>
    <message id="categories.total">
        <source>Total</source>
        <translation>Total</translation>
    </message>
    <message id="categories.visibleFileCount %lld %lld">
        <source>Showing %lld of %lld</source>
        <translation>Showing %lld of %lld</translation>
    </message>
    <message id="category.applications">
        <source>Applications</source>
        <translation>Applications</translation>
    </message>
    <message id="category.archives">
        <source>Archives</source>
        <translation>Archives</translation>
    </message>
    <message id="category.audio">
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message id="category.caches">
        <source>Caches</source>
        <translation>Caches</translation>
    </message>
    <message id="category.code">
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message id="category.documents">
        <source>Documents</source>
        <translation>Documents</translation>
    </message>
    <message id="category.images">
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message id="category.other">
        <source>Other</source>
        <translation>Other</translation>
    </message>
    <message id="category.system">
        <source>System</source>
        <translation>System</translation>
    </message>
    <message id="category.videos">
        <source>Videos</source>
        <translation>Videos</translation>
    </message>
    <message id="changes.chooseFile">
        <source>Compare with a File…</source>
        <translation>Compare with a File…</translation>
    </message>
    <message id="changes.compareWith">
        <source>Compare with an earlier scan</source>
        <translation>Compare with an earlier scan</translation>
    </message>
    <message id="changes.comparing">
        <source>Comparing with the earlier scan…</source>
        <translation>Comparing with the earlier scan…</translation>
    </message>
    <message id="changes.failed">
        <source>The earlier scan can’t be read</source>
        <translation>The earlier scan can’t be read</translation>
    </message>
    <message id="changes.files %@">
        <source>%@ files</source>
        <translation>%@ files</translation>
    </message>
    <message id="changes.filterHelp">
        <source>Show or hide what holds changes of this kind</source>
        <translation>Show or hide what holds changes of this kind</translation>
    </message>
    <message id="changes.from %@">
        <source>from %@</source>
        <translation>from %@</translation>
    </message>
    <message id="changes.fromFile %@">
        <source>%@ (file)</source>
        <translation>%@ (file)</translation>
    </message>
    <message id="changes.kind.appeared">
        <source>New</source>
        <translation>New</translation>
    </message>
    <message id="changes.kind.gone">
        <source>Gone</source>
        <translation>Gone</translation>
    </message>
    <message id="changes.kind.grown">
        <source>Grew</source>
        <translation>Grew</translation>
    </message>
    <message id="changes.kind.moved">
        <source>Moved</source>
        <translation>Moved</translation>
    </message>
    <message id="changes.kind.shrunk">
        <source>Shrank</source>
        <translation>Shrank</translation>
    </message>
    <message id="changes.kind.unchanged">
        <source>No net change</source>
        <translation>No net change</translation>
    </message>
    <message id="changes.movedFolders %@">
        <source>folders moved: %@</source>
        <translation>folders moved: %@</translation>
    </message>
    <message id="changes.net">
        <source>Net change</source>
        <translation>Net change</translation>
    </message>
    <message id="changes.none.detail">
        <source>Scans are kept in the history from now on, so the next scan of this folder can be compared with this one. You can also compare with a saved scan.</source>
        <translation>Scans are kept in the history from now on, so the next scan of this folder can be compared with this one. You can also compare with a saved scan.</translation>
    </message>
    <message id="changes.none.title">
        <source>No earlier scan of this folder</source>
        <translation>No earlier scan of this folder</translation>
    </message>
    <message id="changes.nothing">
        <source>Nothing changed since the earlier scan.</source>
        <translation>Nothing changed since the earlier scan.</translation>
    </message>
    <message id="changes.nothingHere">
        <source>Nothing here matches the filters.</source>
        <translation>Nothing here matches the filters.</translation>
    </message>
    <message id="changes.oneFile">
        <source>1 file</source>
        <translation>1 file</translation>
    </message>
    <message id="changes.since %@">
        <source>Since %@</source>
        <translation>Since %@</translation>
    </message>
    <message id="changes.title">
        <source>Changes</source>
        <translation>Changes</translation>
    </message>
    <message id="changes.top">
        <source>Top of the scanned folder</source>
        <translation>Top of the scanned folder</translation>
    </message>
    <message id="changes.updating">
        <source>Updating…</source>
        <translation>Updating…</translation>
    </message>
    <message id="changes.was %@">
        <source>was %@</source>
        <translation>was %@</translation>
    </message>
    <message id="cleanup.deselectAll">
        <source>Deselect All</source>
        <translation>Deselect All</translation>
    </message>
    <message id="cleanup.moveToTrash">
        <source>Move to Trash</source>
        <translation>Move to Trash</translation>
    </message>
    <message id="cleanup.moveToTrashCount %lld">
        <source>Move to Trash (%lld)</source>
        <translation>Move to Trash (%lld)</translation>
    </message>
    <message id="cleanup.selectAll">
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message id="cleanup.selectedCount %lld %@">
        <source>%lld selected · %@</source>
        <translation>%lld selected · %@</translation>
    </message>
    <message id="date.unknown">
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message id="delete.busy">
        <source>Moving to the Trash…</source>
        <translation>Moving to the Trash…</translation>
    </message>
    <message id="delete.changed %@">
        <source>“%@” is no longer the item that was scanned: left where it is</source>
        <translation>“%@” is no longer the item that was scanned: left where it is</translation>
    </message>
    <message id="delete.changedCount %lld">
        <source>%lld changed since the scan, left where they are</source>
        <translation>%lld changed since the scan, left where they are</translation>
    </message>
    <message id="delete.done.batch %lld %@">
        <source>%lld removed · %@ freed</source>
        <translation>%lld removed · %@ freed</translation>
    </message>
    <message id="delete.done.batchWithFailures %lld %@ %lld">
        <source>%lld removed · %@ freed · %lld failed</source>
        <translation>%lld removed · %@ freed · %lld failed</translation>
    </message>
    <message id="delete.done.single %@">
        <source>Moved to Trash · %@ freed</source>
        <translation>Moved to Trash · %@ freed</translation>
    </message>
    <message id="delete.failed %@">
        <source>Couldn’t move “%@” to Trash</source>
        <translation>Couldn’t move “%@” to Trash</translation>
    </message>
    <message id="delete.inProgress">
        <source>Moving to Trash…</source>
        <translation>Moving to Trash…</translation>
    </message>
    <message id="delete.progress %lld %lld">
        <source>Moving to Trash… %lld of %lld</source>
        <translation>Moving to Trash… %lld of %lld</translation>
    </message>
    <message id="duplicates.allMarked">
        <source>Every copy is marked: one will stay</source>
        <translation>Every copy is marked: one will stay</translation>
    </message>
    <message id="duplicates.checking">
        <source>Checking…</source>
        <translation>Checking…</translation>
    </message>
    <message id="duplicates.comparingLengths %@">
        <source>Comparing the lengths of %@ files</source>
        <translation>Comparing the lengths of %@ files</translation>
    </message>
    <message id="duplicates.groupDetail %lld %@">
        <source>%lld copies of %@</source>
        <translation>%lld copies of %@</translation>
    </message>
    <message id="duplicates.inviteDetail">
        <source>Compares the content of the files of this scan that are 1 KB or larger. Files are only read, never changed.</source>
        <translation>Compares the content of the files of this scan that are 1 KB or larger. Files are only read, never changed.</translation>
    </message>
    <message id="duplicates.inviteTitle">
        <source>Find Files with the Same Content</source>
        <translation>Find Files with the Same Content</translation>
    </message>
    <message id="duplicates.keepInFolder %@">
        <source>Keep the Copies in “%@”</source>
        <translation>Keep the Copies in “%@”</translation>
    </message>
    <message id="duplicates.keepInThisFolder">
        <source>Keep the Copies in This Folder</source>
        <translation>Keep the Copies in This Folder</translation>
    </message>
    <message id="duplicates.keepNewest">
        <source>Keep the Newest Copy</source>
        <translation>Keep the Newest Copy</translation>
    </message>
    <message id="duplicates.keepOldest">
        <source>Keep the Oldest Copy</source>
        <translation>Keep the Oldest Copy</translation>
    </message>
    <message id="duplicates.keptWhole %lld">
        <source>every copy of %lld groups was marked: one copy of each stays</source>
        <translation>every copy of %lld groups was marked: one copy of each stays</translation>
    </message>
    <message id="duplicates.mark">
        <source>Mark</source>
        <translation>Mark</translation>
    </message>
    <message id="duplicates.markHint">
        <source>Mark the copies to move, or use Select</source>
        <translation>Mark the copies to move, or use Select</translation>
    </message>
    <message id="duplicates.markedCount %lld %@">
        <source>%lld marked · %@</source>
        <translation>%lld marked · %@</translation>
    </message>
    <message id="duplicates.moveMarked">
        <source>Move Marked to Trash</source>
        <translation>Move Marked to Trash</translation>
    </message>
    <message id="duplicates.noLongerCopies %lld">
        <source>%lld no longer copies of another file: left where they are</source>
        <translation>%lld no longer copies of another file: left where they are</translation>
    </message>
    <message id="duplicates.noneDetail">
        <source>No two files of 1 KB or larger in this scan have the same content.</source>
        <translation>No two files of 1 KB or larger in this scan have the same content.</translation>
    </message>
    <message id="duplicates.noneTitle">
        <source>No Duplicates</source>
        <translation>No Duplicates</translation>
    </message>
    <message id="duplicates.nothingMoved">
        <source>Nothing moved</source>
        <translation>Nothing moved</translation>
    </message>
    <message id="duplicates.reading %@ %@">
        <source>Reading %@ of %@ files</source>
        <translation>Reading %@ of %@ files</translation>
    </message>
    <message id="duplicates.search">
        <source>Find Duplicates</source>
        <translation>Find Duplicates</translation>
    </message>
    <message id="duplicates.searchAgain">
        <source>Search Again</source>
        <translation>Search Again</translation>
    </message>
    <message id="duplicates.searching">
        <source>Looking for Duplicates…</source>
        <translation>Looking for Duplicates…</translation>
    </message>
    <message id="duplicates.select">
        <source>Select</source>
        <translation>Select</translation>
    </message>
    <message id="duplicates.subtitle">
        <source>Files with the same content</source>
        <translation>Files with the same content</translation>
    </message>
    <message id="duplicates.summary %@ %@">
        <source>%@ groups · %@ can be freed</source>
        <translation>%@ groups · %@ can be freed</translation>
    </message>
    <message id="duplicates.unmark">
        <source>Unmark</source>
        <translation>Unmark</translation>
    </message>
    <message id="duplicates.unmarkAll">
        <source>Unmark All</source>
        <translation>Unmark All</translation>
    </message>
    <message id="duplicates.unreadable %lld">
        <source>%lld files could not be read and were left out</source>
        <translation>%lld files could not be read and were left out</translation>
    </message>
    <message id="duplicates.wastedCaption">
        <source>can be freed</source>
        <translation>can be freed</translation>
    </message>
    <message id="duplicates.wholeGroups %lld">
        <source>%lld groups fully marked keep one copy each</source>
        <translation>%lld groups fully marked keep one copy each</translation>
    </message>
    <message id="export.busy">
        <source>Wait until the export is written</source>
        <translation>Wait until the export is written</translation>
    </message>
    <message id="export.dialogTitle">
        <source>Export Scan</source>
        <translation>Export Scan</translation>
    </message>
    <message id="export.done %@">
        <source>Scan exported to “%@”</source>
        <translation>Scan exported to “%@”</translation>
    </message>
    <message id="export.failed %@">
        <source>Couldn’t export the scan: %@</source>
        <translation>Couldn’t export the scan: %@</translation>
    </message>
    <message id="fileList.selectHint">
        <source>Select files to clean up</source>
        <translation>Select files to clean up</translation>
    </message>
    <message id="header.openedFrom %@">
        <source>From a file · scanned %@</source>
        <translation>From a file · scanned %@</translation>
    </message>
    <message id="header.rescan">
        <source>Rescan</source>
        <translation>Rescan</translation>
    </message>
    <message id="header.rescanHelp %@">
        <source>Scan %@ again</source>
        <translation>Scan %@ again</translation>
    </message>
    <message id="header.stopped">
        <source>Scan stopped</source>
        <translation>Scan stopped</translation>
    </message>
    <message id="history.keep">
        <source>Keep a History of Scans</source>
        <translation>Keep a History of Scans</translation>
    </message>
    <message id="history.keepThem">
        <source>Keep Them</source>
        <translation>Keep Them</translation>
    </message>
    <message id="history.remove">
        <source>Remove</source>
        <translation>Remove</translation>
    </message>
    <message id="history.removeDetail %@ %@">
        <source>Scans kept: %@, taking %@ on disk. New scans are no longer kept either way.</source>
        <translation>Scans kept: %@, taking %@ on disk. New scans are no longer kept either way.</translation>
    </message>
    <message id="history.removeTitle">
        <source>Remove the kept scans?</source>
        <translation>Remove the kept scans?</translation>
    </message>
    <message id="history.removed %@">
        <source>Kept scans removed: %@</source>
        <translation>Kept scans removed: %@</translation>
    </message>
    <message id="history.saveFailed %@">
        <source>This scan can’t be kept in the history: %@</source>
        <translation>This scan can’t be kept in the history: %@</translation>
    </message>
    <message id="import.dialogTitle">
        <source>Open a Saved Scan</source>
        <translation>Open a Saved Scan</translation>
    </message>
    <message id="import.error.badName">
        <source>An entry in the file has a name that isn’t allowed (empty, “.”, “..” or holding “/”).</source>
        <translation>An entry in the file has a name that isn’t allowed (empty, “.”, “..” or holding “/”).</translation>
    </message>
    <message id="import.error.badValue">
        <source>The file holds a value of the wrong kind.</source>
        <translation>The file holds a value of the wrong kind.</translation>
    </message>
    <message id="import.error.duplicateName">
        <source>Two entries of one folder in the file have the same name, which no real folder can hold.</source>
        <translation>Two entries of one folder in the file have the same name, which no real folder can hold.</translation>
    </message>
    <message id="import.error.missingName">
        <source>An entry in the file has no name.</source>
        <translation>An entry in the file has no name.</translation>
    </message>
    <message id="import.error.negativeSize">
        <source>The file holds a negative size.</source>
        <translation>The file holds a negative size.</translation>
    </message>
    <message id="import.error.notAFile">
        <source>It isn’t a regular file, but a folder, a pipe or a device.</source>
        <translation>It isn’t a regular file, but a folder, a pipe or a device.</translation>
    </message>
    <message id="import.error.notAnExport">
        <source>It isn’t a scan saved in ncdu’s export format.</source>
        <translation>It isn’t a scan saved in ncdu’s export format.</translation>
    </message>
    <message id="import.error.outOfRange">
        <source>The file holds a number that is too large.</source>
        <translation>The file holds a number that is too large.</translation>
    </message>
    <message id="import.error.syntax">
        <source>The file is damaged: its text isn’t well-formed.</source>
        <translation>The file is damaged: its text isn’t well-formed.</translation>
    </message>
    <message id="import.error.tooLarge">
        <source>The scan is too large to open with the memory available.</source>
        <translation>The scan is too large to open with the memory available.</translation>
    </message>
    <message id="import.error.trailingGarbage">
        <source>The file holds more after the end of the scan.</source>
        <translation>The file holds more after the end of the scan.</translation>
    </message>
    <message id="import.error.truncated">
        <source>The file ends too early: it is incomplete.</source>
        <translation>The file ends too early: it is incomplete.</translation>
    </message>
    <message id="import.error.unreadable">
        <source>The file can’t be read, or its compression is damaged.</source>
        <translation>The file can’t be read, or its compression is damaged.</translation>
    </message>
    <message id="import.error.unsupportedVersion">
        <source>It was saved in a version of the format that Plenvo can’t read.</source>
        <translation>It was saved in a version of the format that Plenvo can’t read.</translation>
    </message>
    <message id="import.failed %@ %@">
        <source>Couldn’t open “%@”. %@</source>
        <translation>Couldn’t open “%@”. %@</translation>
    </message>
    <message id="import.filesRead %lld">
        <source>Files read: %lld</source>
        <translation>Files read: %lld</translation>
    </message>
    <message id="import.filterAll">
        <source>All Files</source>
        <translation>All Files</translation>
    </message>
    <message id="import.filterScans">
        <source>Scan Exports</source>
        <translation>Scan Exports</translation>
    </message>
    <message id="import.title">
        <source>Opening Scan…</source>
        <translation>Opening Scan…</translation>
    </message>
    <message id="inspector.contents">
        <source>Contents</source>
        <translation>Contents</translation>
    </message>
    <message id="inspector.created">
        <source>Created</source>
        <translation>Created</translation>
    </message>
    <message id="inspector.dates">
        <source>Dates</source>
        <translation>Dates</translation>
    </message>
    <message id="inspector.emptyDesc">
        <source>Select a file or folder to see its details.</source>
        <translation>Select a file or folder to see its details.</translation>
    </message>
    <message id="inspector.emptyTitle">
        <source>No Selection</source>
        <translation>No Selection</translation>
    </message>
    <message id="inspector.files">
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message id="inspector.folders">
        <source>Folders</source>
        <translation>Folders</translation>
    </message>
    <message id="inspector.modified">
        <source>Modified</source>
        <translation>Modified</translation>
    </message>
    <message id="inspector.path">
        <source>Path</source>
        <translation>Path</translation>
    </message>
    <message id="inspector.size">
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message id="inspector.totalFiles">
        <source>Total Files</source>
        <translation>Total Files</translation>
    </message>
    <message id="largeFiles.count %lld">
        <source>Top %lld by size</source>
        <translation>Top %lld by size</translation>
    </message>
    <message id="largeFiles.title">
        <source>Large Files</source>
        <translation>Large Files</translation>
    </message>
    <message id="menu.edit">
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message id="menu.exportScan">
        <source>Export Scan…</source>
        <translation>Export Scan…</translation>
    </message>
    <message id="menu.file">
        <source>File</source>
        <translation>File</translation>
    </message>
    <message id="menu.openScan">
        <source>Open Scan…</source>
        <translation>Open Scan…</translation>
    </message>
    <message id="menu.undoMove">
        <source>Undo Move to Trash</source>
        <translation>Undo Move to Trash</translation>
    </message>
    <message id="menu.view">
        <source>View</source>
        <translation>View</translation>
    </message>
    <message id="menu.help">
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message id="menu.quit">
        <source>Quit Plenvo</source>
        <translation>Quit Plenvo</translation>
    </message>
    <message id="overview.files">
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message id="overview.folders">
        <source>Folders</source>
        <translation>Folders</translation>
    </message>
    <message id="overview.foldersOwnSize %@">
        <source>Folders themselves take %@ more</source>
        <translation>Folders themselves take %@ more</translation>
    </message>
    <message id="overview.largestFiles">
        <source>Largest Files</source>
        <translation>Largest Files</translation>
    </message>
    <message id="overview.noFiles">
        <source>No files here.</source>
        <translation>No files here.</translation>
    </message>
    <message id="overview.openedFrom %@ %@">
        <source>%@ · opened from “%@”</source>
        <translation>%@ · opened from “%@”</translation>
    </message>
    <message id="overview.spaceUsage">
        <source>Space Usage</source>
        <translation>Space Usage</translation>
    </message>
    <message id="overview.stoppedNote">
        <source>The scan was stopped before it read everything: sizes and counts marked ≥ count only what was read.</source>
        <translation>The scan was stopped before it read everything: sizes and counts marked ≥ count only what was read.</translation>
    </message>
    <message id="overview.totalSize">
        <source>Total Size</source>
        <translation>Total Size</translation>
    </message>
    <message id="overview.types">
        <source>File Types</source>
        <translation>File Types</translation>
    </message>
    <message id="overview.typesCount %lld">
        <source>%lld in use</source>
        <translation>%lld in use</translation>
    </message>
    <message id="picker.applications">
        <source>Applications</source>
        <translation>Applications</translation>
    </message>
    <message id="picker.cancel">
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message id="picker.chooseFolder">
        <source>Choose Folder…</source>
        <translation>Choose Folder…</translation>
    </message>
    <message id="picker.desc">
        <source>Pick a folder to find out what is taking up space.</source>
        <translation>Pick a folder to find out what is taking up space.</translation>
    </message>
    <message id="picker.desktop">
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message id="picker.documents">
        <source>Documents</source>
        <translation>Documents</translation>
    </message>
    <message id="picker.downloads">
        <source>Downloads</source>
        <translation>Downloads</translation>
    </message>
    <message id="picker.home">
        <source>Home</source>
        <translation>Home</translation>
    </message>
    <message id="picker.scan">
        <source>Scan</source>
        <translation>Scan</translation>
    </message>
    <message id="picker.title">
        <source>Choose a Folder to Scan</source>
        <translation>Choose a Folder to Scan</translation>
    </message>
    <message id="readOnly.detail">
        <source>This scan was opened from a file. Its files aren’t on this computer, or no longer as they were, so they can’t be shown in a folder or moved to the Trash.</source>
        <translation>This scan was opened from a file. Its files aren’t on this computer, or no longer as they were, so they can’t be shown in a folder or moved to the Trash.</translation>
    </message>
    <message id="readOnly.note">
        <source>Opened from a file: read-only</source>
        <translation>Opened from a file: read-only</translation>
    </message>
    <message id="reveal.foldersLeftOut %lld %lld">
        <source>Opened %lld folders; %lld more were left out.</source>
        <translation>Opened %lld folders; %lld more were left out.</translation>
    </message>
    <message id="scanning.filesScanned %lld">
        <source>Files scanned: %lld</source>
        <translation>Files scanned: %lld</translation>
    </message>
    <message id="scanning.stop">
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message id="scanning.stopTimedOut">
        <source>The scan did not stop in time (a folder is not answering), so nothing of it was kept.</source>
        <translation>The scan did not stop in time (a folder is not answering), so nothing of it was kept.</translation>
    </message>
    <message id="scanning.stopping">
        <source>Stopping…</source>
        <translation>Stopping…</translation>
    </message>
    <message id="scanning.title">
        <source>Scanning…</source>
        <translation>Scanning…</translation>
    </message>
    <message id="sidebar.actions">
        <source>Actions</source>
        <translation>Actions</translation>
    </message>
    <message id="sidebar.caches">
        <source>Caches</source>
        <translation>Caches</translation>
    </message>
    <message id="sidebar.categories">
        <source>Categories</source>
        <translation>Categories</translation>
    </message>
    <message id="sidebar.changes">
        <source>Changes</source>
        <translation>Changes</translation>
    </message>
    <message id="sidebar.cleanup">
        <source>Cleanup</source>
        <translation>Cleanup</translation>
    </message>
    <message id="sidebar.duplicates">
        <source>Duplicates</source>
        <translation>Duplicates</translation>
    </message>
    <message id="sidebar.largeFiles">
        <source>Large Files</source>
        <translation>Large Files</translation>
    </message>
    <message id="sidebar.newScan">
        <source>New Scan…</source>
        <translation>New Scan…</translation>
    </message>
    <message id="sidebar.overview">
        <source>Overview</source>
        <translation>Overview</translation>
    </message>
    <message id="sidebar.treeMap">
        <source>Treemap</source>
        <translation>Treemap</translation>
    </message>
    <message id="sidebar.views">
        <source>Views</source>
        <translation>Views</translation>
    </message>
    <message id="size.byte %@">
        <source>%@ byte</source>
        <translation>%@ byte</translation>
    </message>
    <message id="size.bytes %@">
        <source>%@ bytes</source>
        <translation>%@ bytes</translation>
    </message>
    <message id="toast.undo">
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message id="toolbar.hideInspector">
        <source>Hide Inspector</source>
        <translation>Hide Inspector</translation>
    </message>
    <message id="toolbar.inspectorNeedsRoom">
        <source>Make the window wider to show the inspector</source>
        <translation>Make the window wider to show the inspector</translation>
    </message>
    <message id="toolbar.showInspector">
        <source>Show Inspector</source>
        <translation>Show Inspector</translation>
    </message>
    <message id="treemap.empty">
        <source>Nothing in this folder takes up space.</source>
        <translation>Nothing in this folder takes up space.</translation>
    </message>
    <message id="treemap.fileTile %@ %@">
        <source>%@, %@</source>
        <translation>%@, %@</translation>
    </message>
    <message id="treemap.folderTile %@ %@">
        <source>Folder %@, %@</source>
        <translation>Folder %@, %@</translation>
    </message>
    <message id="treemap.goBack">
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message id="undo.done %lld">
        <source>%lld put back</source>
        <translation>%lld put back</translation>
    </message>
    <message id="undo.done.single %@">
        <source>“%@” is back</source>
        <translation>“%@” is back</translation>
    </message>
    <message id="undo.failed %@">
        <source>Couldn’t put back: %@</source>
        <translation>Couldn’t put back: %@</translation>
    </message>
    <message id="undo.notInTrash %@">
        <source>No longer in the Trash: %@</source>
        <translation>No longer in the Trash: %@</translation>
    </message>
    <message id="undo.progress %lld %lld">
        <source>Putting back… %lld of %lld</source>
        <translation>Putting back… %lld of %lld</translation>
    </message>
    <message id="undo.taken %@">
        <source>Left in the Trash, their places are taken: %@</source>
        <translation>Left in the Trash, their places are taken: %@</translation>
    </message>
    <message id="welcome.dragHint">
        <source>Or drop a folder here</source>
        <translation>Or drop a folder here</translation>
    </message>
    <message id="welcome.recentScans">
        <source>Recent Scans</source>
        <translation>Recent Scans</translation>
    </message>
    <message id="welcome.scanHome">
        <source>Scan Home Folder</source>
        <translation>Scan Home Folder</translation>
    </message>
    <message id="welcome.selectFolder">
        <source>Choose a Folder…</source>
        <translation>Choose a Folder…</translation>
    </message>
    <message id="window.openedTitle %@ %@">
        <source>%@ (scanned %@, opened from a file)</source>
        <translation>%@ (scanned %@, opened from a file)</translation>
    </message>
</context>
</TS>
