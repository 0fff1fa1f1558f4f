#pragma once

#include "services/EntryIdentity.h"

#include <cstdint>
#include <string>

namespace plenvo {

// Moves scanned items to the user's Trash and puts them back. Implementations are called from
// worker threads, one call at a time per item, and must be thread-safe. Nothing is ever deleted
// permanently, and nothing is ever overwritten: a move or a restore that cannot be made leaves
// everything where it is.
class Trash {
public:
    enum class MoveStatus {
        moved,   // the item is in the Trash
        refused, // it stays where it is (no Trash there, no permission, an I/O error ...)
        changed, // the path no longer names the scanned item: nothing was moved
    };
    // Where a moved item went, enough to find it again in the Trash.
    struct Ticket {
        std::int64_t movedAfter = 0;  // seconds since the Unix epoch, before the move
        std::int64_t movedBefore = 0; // and after it
        std::uint64_t inode = 0;      // the item's inode (a move keeps it), 0 when unknown
    };
    struct Moved {
        MoveStatus status = MoveStatus::refused;
        Ticket ticket;
    };

    enum class RestoreStatus {
        restored,   // back at its original path
        taken,      // its original path is taken again: left in the Trash
        notInTrash, // no longer in the Trash (emptied, restored or removed elsewhere)
        failed,     // could not be put back (its folder is gone, no permission ...)
    };

    virtual ~Trash() = default;
    // Moves the item `item` names, but only while its path still names that very entry.
    virtual Moved moveToTrash(const EntryIdentity& item) = 0;
    // Puts an item moved by moveToTrash() back at its original path, never over another.
    virtual RestoreStatus restore(const EntryIdentity& item, const Ticket& ticket) = 0;
};

} // namespace plenvo
