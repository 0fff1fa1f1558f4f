// libFuzzer target for NcduReader: any input is read or refused with an error, never crashes,
// and whatever is read survives being written by NcduWriter and read again.

#include "services/NcduReader.h"
#include "services/NcduWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

using namespace plenvo;

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool sameFacts(const NodeFacts::Facts* a, const NodeFacts::Facts* b)
{
    if (!a || !b)
        return a == b;
    return a->hasDevice == b->hasDevice && (!a->hasDevice || a->device == b->device) &&
           a->hardLinked == b->hardLinked && a->inode == b->inode && a->linkCount == b->linkCount &&
           a->readError == b->readError && a->notRegular == b->notRegular &&
           a->exclusion == b->exclusion;
}

// Both trees alike, node for node, without recursion.
void compare(const NcduReader::Outcome& a, const NcduReader::Outcome& b)
{
    check(a.rootPath == b.rootPath, "root path");
    std::vector<std::pair<const FileNode*, const FileNode*>> pending{{a.root.get(), b.root.get()}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        check(x->nameBytes() == y->nameBytes(), "name");
        check(x->isDirectory() == y->isDirectory(), "kind");
        check(x->cachedSize() == y->cachedSize(), "size");
        check(x->fileSize() == y->fileSize(), "own size");
        check(x->cachedFoldersOwnSize() == y->cachedFoldersOwnSize(), "folders' own size");
        check(x->cachedFileCount() == y->cachedFileCount(), "file count");
        check(x->modificationDate() == y->modificationDate(), "modification date");
        check(x->childCount() == y->childCount(), "child count");
        check(!x->isDirectory() || x->inode() == y->inode(), "folder inode");
        check(sameFacts(a.facts->find(x->id()), b.facts->find(y->id())), "facts");
        for (std::size_t i = 0; i < x->childCount(); ++i)
            pending.emplace_back(x->children()[i], y->children()[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The length picks how the text reaches the parser: whole, or in pieces of 1 to 13 bytes.
    const std::size_t chunk = size % 3 == 0 ? 0 : size % 13 + 1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const NcduReader::Outcome outcome = NcduReader::readData(text, {}, {}, chunk);
    if (!outcome.root) {
        check(outcome.status == NcduReader::Outcome::Status::failed, "status");
        check(outcome.error.kind != NcduReader::ErrorKind::none, "error kind");
        check(!outcome.error.detail.empty(), "error detail");
        return 0;
    }
    check(outcome.entries == outcome.root->cachedFileCount() + outcome.root->cachedDirCount(),
          "entries");
    const std::string again = NcduWriter::toText(*outcome.root, outcome.facts.get(), {});
    const NcduReader::Outcome reread = NcduReader::readData(again);
    check(reread.root != nullptr, "reading what was written");
    compare(outcome, reread);
    return 0;
}
