#include "bench/folder_scan.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace grelm::bench {

namespace {

bool matches(const std::string &name, const std::string &prefix, const std::string &suffix)
{
    auto same = [](const std::string &a, std::size_t at, const std::string &b) {
        for (std::size_t i = 0; i < b.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[at + i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    return name.size() >= prefix.size() + suffix.size() && same(name, 0, prefix) &&
           same(name, name.size() - suffix.size(), suffix);
}

template <typename Visit>
void forEachMatch(const QString &folder, const std::string &prefix, const std::string &suffix, Visit visit)
{
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(QFile::encodeName(folder).toStdString(), error)) {
        if (entry.is_regular_file() && matches(entry.path().filename().string(), prefix, suffix))
            visit(entry.path());
    }
}

std::int32_t readLe32(const unsigned char *p) { return std::int32_t(p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24); }

} // namespace

std::vector<std::string> filesMatching(const QString &folder, const std::string &prefix, const std::string &suffix)
{
    std::vector<std::string> paths;
    forEachMatch(folder, prefix, suffix, [&](const std::filesystem::path &p) { paths.push_back(p.string()); });
    std::sort(paths.begin(), paths.end());
    return paths;
}

int countFilesMatching(const QString &folder, const std::string &prefix, const std::string &suffix)
{
    int count = 0;
    forEachMatch(folder, prefix, suffix, [&](const std::filesystem::path &) { ++count; });
    return count;
}

double bitmapMegapixels(const QString &folder)
{
    double pixels = 0;
    forEachMatch(folder, "", ".bmp", [&](const std::filesystem::path &p) {
        unsigned char header[26];
        if (FILE *f = std::fopen(p.c_str(), "rb")) {
            if (std::fread(header, 1, sizeof header, f) == sizeof header)
                pixels += double(readLe32(header + 18)) * std::abs(double(readLe32(header + 22)));
            std::fclose(f);
        }
    });
    return pixels / 1e6;
}

void dropFromPageCache(const std::vector<std::string> &paths)
{
    for (const std::string &path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

} // namespace grelm::bench
