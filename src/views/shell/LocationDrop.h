#pragma once

class QMimeData;

namespace plenvo {

class AppState;

// What a drop of file locations on the window does: the first location, when it is a folder,
// is scanned; when it is a file that begins like a saved scan (NcduReader::looksLikeExport),
// that scan is opened. Anything else is ignored without a word.
class LocationDrop {
public:
    LocationDrop() = delete;

    // Whether a drag carries file locations only (the drop is then accepted).
    static bool carriesOnlyFileLocations(const QMimeData* mimeData);
    // Handles a drop: true when it carries at least one file location. The location is looked
    // at off this thread (it may sit on a slow or stalled file system); only the scan or the
    // open is started back on this thread, and only while `state` exists.
    static bool handle(AppState& state, const QMimeData* mimeData);
};

} // namespace plenvo
