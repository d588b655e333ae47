#include "games/game_search.h"

#include "core/path_checks.h"
#include "games/game_names.h"

namespace grelm {

GameSearch::GameSearch(const GameFolderSink &found, const SearchLimits &limits)
    : m_sink(found), m_limits(limits), m_deadline(std::chrono::steady_clock::now() + limits.time)
{
}

bool GameSearch::goesOn()
{
    if (!m_over && (std::chrono::steady_clock::now() >= m_deadline || (m_limits.stopAsked && m_limits.stopAsked())))
        m_over = true;
    return !m_over;
}

bool GameSearch::visitFolder()
{
    if (!goesOn())
        return false;
    if (m_folders >= m_limits.folders) {
        m_over = true;
        return false;
    }
    if (m_inPrefix && m_prefixFolders >= m_limits.foldersPerPrefix)
        return false; // this prefix is done; the next one has its own share
    ++m_folders;
    if (m_inPrefix)
        ++m_prefixFolders;
    return true;
}

void GameSearch::offer(const FilePath &modFolder)
{
    if (m_over)
        return;
    const FilePath folder = screenshotFolderOf(modFolder);
    if (m_seen.contains(folder))
        return;
    m_seen.insert(folder);
    m_found << GameFolder{folder, gameNameOf(modFolder)};
    if (m_sink && !m_sink(m_found.last()))
        m_over = true;
}

FilePath screenshotFolderOf(const FilePath &modFolder)
{
    if (isKnownGameFolderName(modFolder.fileName()))
        return modFolder;
    const FilePath screenshots = modFolder / "screenshots";
    if (isFolderNotLink(screenshots))
        return screenshots;
    return modFolder;
}

} // namespace grelm
