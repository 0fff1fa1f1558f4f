#pragma once

#include "Trash.h"

namespace plenvo {

// The freedesktop.org Trash. Moves go through GIO: the home Trash (under $XDG_DATA_HOME) or
// the per-mount .Trash-$uid folder, with percent-encoded original paths in the .trashinfo files,
// name collisions resolved, and raw byte paths (names need not be UTF-8). GIO refuses, and the
// item stays, where there is no Trash to move into (tmpfs, read-only mounts, ...). Just before
// each move the item is checked against what the scan recorded (EntryIdentity).
//
// Restoring reads the Trash as the freedesktop.org Trash specification lays it out (the info
// files of the home Trash and of the item's mount): the entry whose original path, deletion date
// and inode match is renamed back without replacing anything, and its info file removed. This needs no desktop
// session (GIO's own trash:/// location is served by a daemon that servers and tests lack).
class GioTrash final : public Trash {
public:
    Moved moveToTrash(const EntryIdentity& item) override;
    RestoreStatus restore(const EntryIdentity& item, const Ticket& ticket) override;
};

} // namespace plenvo
