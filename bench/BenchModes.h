#pragma once

#include <string>

namespace plenvo::bench {

// Each mode prints one JSON line on standard output and returns the exit status.
int scanMode(const std::string& dir);

} // namespace plenvo::bench
