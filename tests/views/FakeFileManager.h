#pragma once

#include "platform/FileManager.h"

#include <string>
#include <vector>

namespace plenvo::test {

// Records what it was asked to reveal.
class FakeFileManager final : public FileManager {
public:
    void revealItems(const std::vector<std::string>& paths) override { revealed.push_back(paths); }

    std::vector<std::vector<std::string>> revealed;
};

} // namespace plenvo::test
