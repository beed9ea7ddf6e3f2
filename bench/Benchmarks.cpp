// Speed of the parsers, the command runner and a whole click, each beside a floor measured in
// the same run. bench/run.sh runs it and prints the ratios.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

#include <spawn.h>
#include <sys/wait.h>

#include "app/AppDelegate.h"
#include "bench/Generated.h"
#include "platform/linux/LinuxFileSystemStats.h"
#include "platform/posix/PosixFileManager.h"
#include "platform/posix/PosixTaskLauncher.h"
#include "tests/Fakes.h"

extern char** environ;

namespace {

void perLine(benchmark::State& state) {
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(state.range(0)),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PartitionListing(benchmark::State& state) {
    const QString listing = generatedPartitionListing(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(AppDelegate::parsePartitionListing(listing));
    }
    perLine(state);
}
BENCHMARK(BM_PartitionListing)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_MountList(benchmark::State& state) {
    const QString base = "/Users/u/exfat-volumes";
    const QString mounts = generatedMountList(static_cast<int>(state.range(0)), base);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AppDelegate::parseMountList(mounts, base));
    }
    perLine(state);
}
BENCHMARK(BM_MountList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The floor of running a program: posix_spawn and waitpid, nothing else.
void spawnAndWait(const char* path) {
    pid_t pid = 0;
    char* const argv[] = {const_cast<char*>(path), nullptr};
    if (::posix_spawn(&pid, path, nullptr, nullptr, argv, environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}

void BM_BareSpawnTrue(benchmark::State& state) {
    for (auto _ : state) {
        spawnAndWait("/bin/true");
    }
}
BENCHMARK(BM_BareSpawnTrue)->Unit(benchmark::kMicrosecond);

// The controller's command runner over real processes.
struct Runner {
    QString run(const QString& path, const QStringList& arguments) {
        return controller.runTaskAtPath(path, arguments);
    }

    PosixTaskLauncher tasks;
    FakePlatform fakes;
    Platform platform = fakes.with(Commands::macOS(), &tasks);
    AppDelegate controller{platform};
};

void BM_RunTaskTrue(benchmark::State& state) {
    Runner runner;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runner.run("/bin/true", {}));
    }
}
BENCHMARK(BM_RunTaskTrue)->Unit(benchmark::kMicrosecond);

void BM_TwoBareSpawnsTrue(benchmark::State& state) {
    for (auto _ : state) {
        spawnAndWait("/bin/true");
        spawnAndWait("/bin/true");
    }
}
BENCHMARK(BM_TwoBareSpawnsTrue)->Unit(benchmark::kMicrosecond);

// A whole click with the real stand-ins: the mount table and the listing read, the menu built.
void BM_Click(benchmark::State& state) {
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    PosixTaskLauncher tasks;
    PosixFileManager files;
    LinuxFileSystemStats stats;
    FakePlatform fakes;
    Platform platform =
        fakes.with(Commands::linuxBeside(EXFATBAR_BUNDLE_DIR), &tasks, &files, &stats);
    AppDelegate controller(platform);
    for (auto _ : state) {
        benchmark::DoNotOptimize(controller.statusMenu());
    }
    qputenv("HOME", savedHome);
}
BENCHMARK(BM_Click)->Unit(benchmark::kMicrosecond);

// What a click spends in its two commands, each on its own: the mount list, and the disk listing,
// which reads every partition's first blocks.
void BM_StandIn(benchmark::State& state, const char* command, QStringList arguments) {
    Runner runner;
    const QString path = QString(EXFATBAR_BUNDLE_DIR "/libexec/") + command;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runner.run(path, arguments));
    }
}
BENCHMARK_CAPTURE(BM_StandIn, mount, "mount", QStringList())->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_StandIn, diskutil, "diskutil", QStringList{"list"})
    ->Unit(benchmark::kMicrosecond);

// The same facts from util-linux: the block devices with their partition types and labels, and
// the mount table.
void BM_LsblkFindmnt(benchmark::State& state) {
    Runner runner;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            runner.run("/usr/bin/lsblk", {"-b", "-P", "-o", "NAME,SIZE,PTTYPE,PARTTYPE,LABEL"}));
        benchmark::DoNotOptimize(runner.run("/usr/bin/findmnt", {"-l", "-n"}));
    }
}
BENCHMARK(BM_LsblkFindmnt)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
