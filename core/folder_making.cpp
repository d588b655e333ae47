#include "core/folder_making.h"

#include "core/errors.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace grelm {

void makeFolders(const FilePath &folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder.bytes().toStdString(), error);
    if (error)
        throw FileError(QStringLiteral("Cannot make %1: %2")
                            .arg(folder.escapedText(), QString::fromStdString(error.message()))
                            .toStdString());
}

} // namespace grelm
