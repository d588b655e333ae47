#include "core/system_folders.h"

#include <QCoreApplication>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace grelm {

FilePath currentFolder()
{
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return FilePath("/");
        buffer.resize(buffer.size() * 2);
    }
    return FilePath(QByteArray(buffer.data()));
}

FilePath programFolder()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return FilePath::fromEscapedText(QCoreApplication::applicationDirPath());
        if (std::size_t(length) < buffer.size())
            return FilePath(QByteArray(buffer.data(), length)).folder();
        buffer.resize(buffer.size() * 2);
    }
}

FilePath homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty())
        return FilePath(home);
    const passwd *entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir && *entry->pw_dir ? FilePath(QByteArray(entry->pw_dir)) : FilePath("/");
}

} // namespace grelm
