#include "app/game_folders.h"

namespace grelm {

int printGameFolders()
{
    return 0;
}

} // namespace grelm
