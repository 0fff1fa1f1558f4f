#pragma once

#include "Trash.h"

namespace plenvo {

// The freedesktop.org Trash through GIO: the home Trash (under $XDG_DATA_HOME) or the
// per-mount .Trash-$uid folder, with percent-encoded original paths in the .trashinfo files,
// name collisions resolved, and raw byte paths (names need not be UTF-8). GIO refuses, and
// the item stays, where there is no Trash to move into (tmpfs, read-only mounts, ...).
class GioTrash final : public Trash {
public:
    bool moveToTrash(const std::string& path) override;
};

} // namespace plenvo
