#pragma once

#include "platform/Clipboard.h"

#include <string>
#include <vector>

namespace plenvo::test {

// Records the locations copied.
class FakeClipboard final : public Clipboard {
public:
    void copyPaths(const std::vector<std::string>& paths) override
    {
        copied.insert(copied.end(), paths.begin(), paths.end());
    }

    std::vector<std::string> copied;
};

} // namespace plenvo::test
