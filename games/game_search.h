#pragma once

#include "core/file_path.h"

#include <QList>
#include <QSet>

#include <chrono>
#include <functional>

namespace grelm {

/// A Half-Life engine game's folder, where the game writes its screenshots.
struct GameFolder {
    FilePath path; ///< canonical
    FilePath name; ///< the game's name as the bytes read (shownText() for the screen)

    bool operator==(const GameFolder &) const = default;
};

/// Gets each game folder as soon as it is found; returning false stops the search.
using GameFolderSink = std::function<bool(const GameFolder &)>;

/// How far one search of a home may go: a big Wine prefix or a hostile tree
/// ends it early rather than slowing anything down.
struct SearchLimits {
    int folders = 50000;                      ///< folders listed in all
    int foldersPerPrefix = 5000;              ///< of which in one Wine prefix
    std::chrono::milliseconds time{2000};     ///< from the start of the search
    std::function<bool()> stopAsked;          ///< when set and true, the search ends at once
};

/// One search for game folders: what it found (each folder once), and how much
/// of its limits it has used.
class GameSearch {
public:
    explicit GameSearch(const GameFolderSink &found = {}, const SearchLimits &limits = {});

    /// Counts one folder about to be listed; false (and the search is over)
    /// when that would pass a limit or the sink asked to stop.
    bool visitFolder();
    /// Whether the search may still go on.
    bool goesOn();

    /// Starts counting the folders of one Wine prefix against foldersPerPrefix.
    void startPrefix() { m_prefixFolders = 0; m_inPrefix = true; }
    void endPrefix() { m_inPrefix = false; }

    /// Offers the game whose mod folder is `modFolder` (canonical): the folder
    /// its screenshots land in (see screenshotFolderOf), named after the game,
    /// unless that folder was offered before.
    void offer(const FilePath &modFolder);

    const QList<GameFolder> &found() const { return m_found; }

private:
    GameFolderSink m_sink;
    SearchLimits m_limits;
    std::chrono::steady_clock::time_point m_deadline;
    QList<GameFolder> m_found;
    QSet<FilePath> m_seen;
    int m_folders = 0;
    int m_prefixFolders = 0;
    bool m_inPrefix = false;
    bool m_over = false;
};

/// Where the game of `modFolder` writes its screenshots: Valve's own games
/// into the mod folder; any other game into its `screenshots` sub-folder
/// where that is a folder (not a link), else into the mod folder.
FilePath screenshotFolderOf(const FilePath &modFolder);

} // namespace grelm
