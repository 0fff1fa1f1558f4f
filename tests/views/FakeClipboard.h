#pragma once

#include "platform/Clipboard.h"

#include <string>
#include <vector>

namespace plenvo::test {

// Records the locations copied.
class FakeClipboard final : public Clipboard {
public:
    void copyPath(const std::string& path) override { copied.push_back(path); }

    std::vector<std::string> copied;
};

} // namespace plenvo::test
