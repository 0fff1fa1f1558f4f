#include "MountTable.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

namespace plenvo {

namespace {

// A flag file of sysfs ("0\n" or "1\n"); none when it cannot be read.
std::optional<bool> readFlag(const std::string& path)
{
    std::ifstream in(path);
    char value = 0;
    if (!(in >> value) || (value != '0' && value != '1'))
        return std::nullopt;
    return value == '1';
}

} // namespace

MountTable::MountTable(std::string source, std::string sysfs)
    : m_source(std::move(source)), m_sysfs(std::move(sysfs))
{
}

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
        const std::string_view source = nextField();
        if (!type.empty())
            m_mounts.emplace(key(major, minor), Mount{std::string(type), std::string(source)});
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

const MountTable::Mount* MountTable::find(std::uint32_t major, std::uint32_t minor)
{
    auto it = m_mounts.find(key(major, minor));
    // Read the table on first use, and once more for a device mounted since then.
    if (it == m_mounts.end() && m_loads < 2) {
        load();
        it = m_mounts.find(key(major, minor));
    }
    return it == m_mounts.end() ? nullptr : &it->second;
}

std::string MountTable::fileSystemType(std::uint32_t major, std::uint32_t minor)
{
    const Mount* mount = find(major, minor);
    return mount ? mount->type : std::string();
}

bool MountTable::isRotational(std::uint32_t major, std::uint32_t minor)
{
    const auto known = m_rotational.find(key(major, minor));
    if (known != m_rotational.end())
        return known->second;
    std::uint32_t blockMajor = major;
    std::uint32_t blockMinor = minor;
    bool hasBlockDevice = major != 0;
    if (!hasBlockDevice) {
        // An anonymous device number: the mount's source may name the block device.
        const Mount* mount = find(major, minor);
        struct stat st;
        if (mount && mount->source.starts_with('/') && ::stat(mount->source.c_str(), &st) == 0 &&
            S_ISBLK(st.st_mode)) {
            blockMajor = ::major(st.st_rdev);
            blockMinor = ::minor(st.st_rdev);
            hasBlockDevice = true;
        }
    }
    bool rotational = false;
    if (hasBlockDevice) {
        const std::string device =
            m_sysfs + "/dev/block/" + std::to_string(blockMajor) + ':' + std::to_string(blockMinor);
        // A partition has no queue of its own; its folder sits in that of its disk.
        std::optional<bool> flag = readFlag(device + "/queue/rotational");
        if (!flag)
            flag = readFlag(device + "/../queue/rotational");
        rotational = flag.value_or(false);
    }
    m_rotational.emplace(key(major, minor), rotational);
    return rotational;
}

bool MountTable::isPseudoFileSystem(std::uint32_t major, std::uint32_t minor)
{
    return isPseudoType(fileSystemType(major, minor));
}

} // namespace plenvo
