// Times the search for game folders over a generated home holding a Steam
// install and several big Wine prefixes, and how soon the folder picker opens
// over that home; see the README's Benchmark section.
//   grelm-game-search-bench [--prefixes N] [--files N] [--repeat N] [--cold]
#include "app/folder_picker_host.h"
#include "app/frm_path.h"
#include "core/file_path.h"
#include "core/messages.h"
#include "games/game_discovery.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace grelm;

namespace {

int g_files = 0;

void makeFiles(const QString &folder, int count, const char *stem = "f")
{
    QDir().mkpath(folder);
    const QByteArray base = (FilePath::fromEscapedText(folder) / stem).bytes();
    for (int i = 0; i < count; ++i) {
        const int fd = ::open((base + QByteArray::number(i)).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
    g_files += count;
}

void makeGame(const QString &folder, const QByteArray &name, int files)
{
    makeFiles(folder + QStringLiteral("/maps"), files, "map");
    QFile libList(folder + QStringLiteral("/liblist.gam"));
    if (libList.open(QIODevice::WriteOnly))
        libList.write("game \"" + name + "\"\n");
}

// A prefix as Wine leaves it after installing a Windows Steam with Counter-Strike
// and a few programs: most of its files in windows/, the rest spread over
// Program Files in folders three and four levels deep.
void makePrefix(const QString &prefix, int files)
{
    const QString c = prefix + QStringLiteral("/drive_c");
    QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
    QFile::link(QStringLiteral("/"), prefix + QStringLiteral("/dosdevices/z:"));
    QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
    for (int i = 0; i < 40; ++i)
        makeFiles(c + QStringLiteral("/windows/system32/sub%1").arg(i), files / 2 / 40);
    makeFiles(c + QStringLiteral("/users/player/AppData/Local/Temp"), files / 20);
    for (const char *programs : {"/Program Files", "/Program Files (x86)"}) {
        for (int app = 0; app < 15; ++app) {
            for (int sub = 0; sub < 10; ++sub)
                makeFiles(c + QLatin1String(programs) + QStringLiteral("/App %1/part%2/data").arg(app).arg(sub),
                          files / 4 / 300);
        }
    }
    const QString steam = c + QStringLiteral("/Program Files (x86)/Steam");
    makeGame(steam + QStringLiteral("/steamapps/common/Half-Life/cstrike"), "Counter-Strike", files / 20);
    makeGame(steam + QStringLiteral("/steamapps/common/Half-Life/valve"), "Half-Life", files / 20);
    QFile vdf(steam + QStringLiteral("/steamapps/libraryfolders.vdf"));
    if (vdf.open(QIODevice::WriteOnly))
        vdf.write("\"libraryfolders\" { \"0\" { \"path\" \"C:\\\\Program Files (x86)\\\\Steam\" } }\n");
    makeGame(c + QStringLiteral("/SIERRA/Half-Life/cstrike"), "Counter-Strike", files / 40);
}

QString makeHome(const QString &home, int prefixes, int filesPerPrefix)
{
    const QString steam = home + QStringLiteral("/.local/share/Steam");
    makeGame(steam + QStringLiteral("/steamapps/common/Half-Life/cstrike"), "Counter-Strike", 2000);
    makeGame(steam + QStringLiteral("/steamapps/common/Half-Life/valve"), "Half-Life", 2000);
    makeGame(steam + QStringLiteral("/steamapps/common/Sven Co-op/svencoop"), "Sven Co-op", 2000);
    QDir().mkpath(steam + QStringLiteral("/steamapps/common/Sven Co-op/svencoop/screenshots"));
    // ~/.wine, then Lutris, Bottles, PlayOnLinux and Proton prefixes in turn.
    const QStringList places = {QStringLiteral("/Games/game"), QStringLiteral("/.local/share/bottles/bottles/CS"),
                                QStringLiteral("/.PlayOnLinux/wineprefix/HL"),
                                QStringLiteral("/.local/share/Steam/steamapps/compatdata/300000000")};
    for (int i = 0; i < prefixes; ++i) {
        if (i == 0) {
            makePrefix(home + QStringLiteral("/.wine"), filesPerPrefix);
            continue;
        }
        const qsizetype kind = (i - 1) % places.size();
        makePrefix(home + places[kind] + QString::number(i) + (kind == 3 ? QStringLiteral("/pfx") : QString()),
                   filesPerPrefix);
    }
    return home;
}

class NoHost : public FolderPickerHost {
public:
    QWidget *hostWindow() override { return nullptr; }
    void setGameFolderText(const FilePath &) override {}
    void SFindDir() override {}
    void SWritePath() override {}
};

// Drops the kernel's cached folder entries and inodes (root only), so the
// search reads every folder from the disk as after a reboot.
bool dropFolderCache()
{
    ::sync();
    QFile control(QStringLiteral("/proc/sys/vm/drop_caches"));
    return control.open(QIODevice::WriteOnly) && control.write("2\n") == 2;
}

double threadCpuMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&](const char *name, int fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const int prefixes = option("--prefixes", 6);
    const int files = option("--files", 30000);
    const int repeat = option("--repeat", 5);
    const bool cold = args.contains(QLatin1String("--cold"));
    QTemporaryDir temporary;
    QElapsedTimer timer;
    timer.start();
    const QString home = makeHome(temporary.path() + QStringLiteral("/home"), prefixes, files);
    std::printf("A home of %d Wine prefixes of about %d files each and a Steam install: %d files, made in %.1f s\n",
                prefixes, files, g_files, double(timer.elapsed()) / 1000);
    qputenv("HOME", FilePath::fromEscapedText(home).bytes());
    qunsetenv("WINEPREFIX");

    std::vector<double> search, cpu, open, listed;
    qsizetype found = 0;
    for (int r = 0; r < repeat; ++r) {
        if (cold && !dropFolderCache()) {
            std::fputs("--cold needs root (it writes /proc/sys/vm/drop_caches)\n", stderr);
            return 2;
        }
        timer.start();
        const double cpuStart = threadCpuMs();
        found = findGameFolders(FilePath::fromEscapedText(home)).size();
        search.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);

        NoHost host;
        RecordingMessageSink messages;
        timer.start();
        Frm_Path *dialog = Frm_Path::load(host, messages);
        QCoreApplication::processEvents();
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
        while (dialog->findingGames())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        listed.push_back(double(timer.nsecsElapsed()) / 1e6);
        dialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("%lld game folders found; median of %d runs:\n", (long long)found, repeat);
    std::printf("  whole search (%s cache):          %7.1f ms (CPU %.1f ms)\n", cold ? "cold" : "warm",
                median(search), median(cpu));
    std::printf("  folder picker open (load, shown): %7.1f ms\n", median(open));
    std::printf("  every game folder listed:         %7.1f ms after the picker was asked for\n", median(listed));
    return 0;
}
