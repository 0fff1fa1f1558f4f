#pragma once

// A home folder as a person's might look, built in memory for screenshots: videos, photos,
// music, projects, downloads and documents of realistic sizes and dates, under a neutral name.

#include "ResultBuilder.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace plenvo::test {

inline std::vector<Entry> sampleHomeEntries()
{
    constexpr std::int64_t KB = 1000, MB = 1000 * KB, GB = 1000 * MB;
    constexpr std::int64_t day = 24LL * 3600 * 1000;
    std::vector<Entry> entries;
    std::uint32_t seed = 20261206;
    const auto next = [&seed](std::int64_t range) {
        seed = seed * 1664525u + 1013904223u;
        return std::int64_t(seed >> 8) % range;
    };
    const auto add = [&](std::string path, std::int64_t size) {
        entries.push_back({std::move(path), size, kScanDate - (1 + next(700)) * day,
                           kScanDate - (700 + next(700)) * day});
    };
    add("Videos/Holiday in Lisbon 2025.mp4", 4 * GB + 210 * MB);
    add("Videos/Conference keynote.mkv", 2 * GB + 480 * MB);
    add("Videos/Family dinner.mov", 1 * GB + 120 * MB);
    for (int i = 1; i <= 8; ++i)
        add("Videos/Clips/clip-" + std::to_string(i) + ".mp4", 90 * MB + next(400) * MB);
    for (int i = 1; i <= 60; ++i)
        add("Photos/2025/IMG_" + std::to_string(4100 + i) + ".jpg", 2 * MB + next(6 * MB));
    for (int i = 1; i <= 24; ++i)
        add("Photos/Raw/DSC_" + std::to_string(700 + i) + ".nef", 24 * MB + next(8 * MB));
    add("Photos/Panorama.tif", 610 * MB);
    for (int i = 1; i <= 12; ++i)
        add("Music/Northern Lights/" + std::to_string(i) + " Track.flac", 28 * MB + next(20 * MB));
    for (int i = 1; i <= 18; ++i)
        add("Music/Podcasts/episode-" + std::to_string(100 + i) + ".mp3", 40 * MB + next(30 * MB));
    add("Downloads/debian-12.8.0-amd64-DVD-1.iso", 3 * GB + 900 * MB);
    add("Downloads/ubuntu-24.04-desktop-amd64.iso", 5 * GB + 700 * MB);
    add("Downloads/photos-backup.zip", 1 * GB + 640 * MB);
    add("Downloads/sdk-toolchain.tar.xz", 820 * MB);
    add("Downloads/editor_2.4_amd64.deb", 96 * MB);
    add("Downloads/installer.exe", 210 * MB);
    add("Downloads/Statement March.pdf", 2 * MB);
    for (const char* name : {"main.cpp", "scanner.cpp", "scanner.h", "layout.cpp", "view.cpp"})
        add(std::string("Projects/atlas/src/") + name, 20 * KB + next(60 * KB));
    add("Projects/atlas/build/atlas", 180 * MB);
    add("Projects/atlas/build/libatlas.a", 340 * MB);
    add("Projects/atlas/build/tests.log", 12 * MB);
    add("Projects/atlas/assets/textures.zip", 450 * MB);
    add("Projects/site/node_modules/.cache/babel.cache", 260 * MB);
    for (int i = 1; i <= 30; ++i)
        add("Projects/site/node_modules/pkg-" + std::to_string(i) + "/index.js",
            40 * KB + next(900 * KB));
    add("Projects/site/data/export.json", 95 * MB);
    add("Documents/Thesis final.pdf", 48 * MB);
    add("Documents/Budget 2026.xlsx", 3 * MB);
    add("Documents/Notes.md", 40 * KB);
    add("Documents/Slides/Quarterly review.pptx", 160 * MB);
    add("Documents/Scans/passport.pdf", 9 * MB);
    add(".cache/thumbnails/large.cache", 380 * MB);
    add(".cache/browser/index.tmp", 720 * MB);
    add(".local/share/games/world.sav", 1 * GB + 50 * MB);
    add("Desktop/todo.txt", 4 * KB);
    entries.push_back({"Templates/", 0});
    // Every folder takes a block of its own, as on an ext4 disk.
    std::vector<std::string> folders;
    for (const Entry& entry : entries)
        for (std::size_t slash = entry.path.find('/'); slash != std::string::npos;
             slash = entry.path.find('/', slash + 1))
            if (std::find(folders.begin(), folders.end(), entry.path.substr(0, slash + 1)) ==
                folders.end())
                folders.push_back(entry.path.substr(0, slash + 1));
    for (const std::string& folder : folders)
        entries.push_back({folder, 4096});
    return entries;
}

inline std::shared_ptr<ScanResult> sampleHome()
{
    return makeResult("/home/user", sampleHomeEntries());
}

} // namespace plenvo::test
