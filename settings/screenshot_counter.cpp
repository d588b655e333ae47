#include "settings/screenshot_counter.h"

#include "core/errors.h"
#include "core/folder_listing.h"

namespace grelm {

int countScreenshots(const FilePath &folder, const std::function<void(int)> &onFound)
{
    int count = 0;
    try {
        FolderListing listing(folder, QStringLiteral("*.bmp"));
        while (listing.next()) {
            ++count;
            if (onFound)
                onFound(count);
        }
    } catch (const FileError &) {
        // An unreadable folder (a drive without its medium, no permission) has
        // nothing to convert; the count must not end the program.
        return 0;
    }
    return count;
}

} // namespace grelm
