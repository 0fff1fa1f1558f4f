#include "MountTable.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>

namespace plenvo {

MountTable::MountTable(std::string source) : m_source(std::move(source)) {}

bool MountTable::isPseudoType(std::string_view type)
{
    static constexpr std::array<std::string_view, 17> kPseudo = {
        "proc",    "sysfs",   "devtmpfs",   "devpts",      "cgroup", "cgroup2",
        "debugfs", "tracefs", "securityfs", "pstore",      "bpf",    "configfs",
        "fusectl", "mqueue",  "hugetlbfs",  "binfmt_misc", "autofs"};
    for (std::string_view pseudo : kPseudo)
        if (type == pseudo)
            return true;
    return false;
}

void MountTable::parse(std::string_view text)
{
    // Each line: id parent major:minor root mountpoint options [tags...] - type source ...
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        std::size_t pos = 0;
        auto nextField = [&]() -> std::string_view {
            while (pos < line.size() && line[pos] == ' ')
                ++pos;
            const std::size_t start = pos;
            while (pos < line.size() && line[pos] != ' ')
                ++pos;
            return line.substr(start, pos - start);
        };
        nextField(); // mount id
        nextField(); // parent id
        const std::string_view device = nextField();
        const std::size_t colon = device.find(':');
        if (colon == std::string_view::npos)
            continue;
        std::uint32_t major = 0;
        std::uint32_t minor = 0;
        if (std::from_chars(device.data(), device.data() + colon, major).ec != std::errc() ||
            std::from_chars(device.data() + colon + 1, device.data() + device.size(), minor).ec !=
                std::errc())
            continue;
        const std::size_t separator = line.find(" - ", pos);
        if (separator == std::string_view::npos)
            continue;
        pos = separator + 3;
        const std::string_view type = nextField();
        if (!type.empty())
            m_types.emplace(key(major, minor), std::string(type));
    }
}

void MountTable::load()
{
    ++m_loads;
    std::ifstream in(m_source);
    if (!in)
        return;
    std::stringstream buffer;
    buffer << in.rdbuf();
    parse(buffer.str());
}

std::string MountTable::fileSystemType(std::uint32_t major, std::uint32_t minor)
{
    auto it = m_types.find(key(major, minor));
    // Read the table on first use, and once more for a device mounted since then.
    if (it == m_types.end() && m_loads < 2) {
        load();
        it = m_types.find(key(major, minor));
    }
    return it == m_types.end() ? std::string() : it->second;
}

bool MountTable::isPseudoFileSystem(std::uint32_t major, std::uint32_t minor)
{
    return isPseudoType(fileSystemType(major, minor));
}

} // namespace plenvo
