// Speed of the parsers, the command runner and a whole click, each beside a floor measured in
// the same run. bench/run.sh runs it and prints the ratios.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <array>
#include <chrono>
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

// Parsing 1 000 lines a hundred times and 100 000 lines once, in turn within each iteration;
// the counters are nanoseconds per line of each.
template <typename Parse>
void parsingGrowth(benchmark::State& state, const QString& small, const QString& large,
                   Parse parse) {
    using Clock = std::chrono::steady_clock;
    Clock::duration smallTime{};
    Clock::duration largeTime{};
    for (auto _ : state) {
        auto start = Clock::now();
        for (int i = 0; i < 100; ++i) {
            benchmark::DoNotOptimize(parse(small));
        }
        smallTime += Clock::now() - start;
        start = Clock::now();
        benchmark::DoNotOptimize(parse(large));
        largeTime += Clock::now() - start;
    }
    const double lines = 100'000.0 * static_cast<double>(state.iterations());
    state.counters["ns_per_line_1k"] =
        std::chrono::duration<double, std::nano>(smallTime).count() / lines;
    state.counters["ns_per_line_100k"] =
        std::chrono::duration<double, std::nano>(largeTime).count() / lines;
}

void BM_PartitionListing(benchmark::State& state) {
    parsingGrowth(
        state, generatedPartitionListing(1'000), generatedPartitionListing(100'000),
        [](const QString& listing) { return AppDelegate::parsePartitionListing(listing); });
}
BENCHMARK(BM_PartitionListing)->Unit(benchmark::kMillisecond);

void BM_MountList(benchmark::State& state) {
    const QString base = "/Users/u/exfat-volumes";
    parsingGrowth(
        state, generatedMountList(1'000, base), generatedMountList(100'000, base),
        [&base](const QString& mounts) { return AppDelegate::parseMountList(mounts, base); });
}
BENCHMARK(BM_MountList)->Unit(benchmark::kMillisecond);

// The floor of running a program: posix_spawn and waitpid, nothing else.
void spawnAndWait(const char* path) {
    pid_t pid = 0;
    char* const argv[] = {const_cast<char*>(path), nullptr};
    if (::posix_spawn(&pid, path, nullptr, nullptr, argv, environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}

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

// A measure and its floors taken in turn within each iteration, so that the drift of a noisy
// machine falls on all of them alike; the counters are their times per iteration.
template <typename... Steps>
void interleaved(benchmark::State& state, const char* const (&names)[sizeof...(Steps)],
                 Steps... steps) {
    using Clock = std::chrono::steady_clock;
    std::array<Clock::duration, sizeof...(Steps)> spent{};
    for (auto _ : state) {
        std::size_t i = 0;
        (
            [&] {
                const auto start = Clock::now();
                steps();
                spent[i++] += Clock::now() - start;
            }(),
            ...);
    }
    for (std::size_t i = 0; i < spent.size(); ++i) {
        state.counters[names[i]] =
            benchmark::Counter(std::chrono::duration<double, std::micro>(spent[i]).count() /
                               static_cast<double>(state.iterations()));
    }
}

// runTaskAtPath("/bin/true") against a bare spawn of the same program.
void BM_RunnerAgainstSpawn(benchmark::State& state) {
    Runner runner;
    const char* const names[] = {"spawn_us", "runner_us"};
    interleaved(
        state, names, [] { spawnAndWait("/bin/true"); },
        [&runner] { benchmark::DoNotOptimize(runner.run("/bin/true", {})); });
}
BENCHMARK(BM_RunnerAgainstSpawn)->Unit(benchmark::kMicrosecond);

// A whole click with the real stand-ins (the mount table and the listing read, the menu built)
// against two bare spawns, and against util-linux telling the same facts: the block devices with
// their partition types and labels, and the mount table.
void BM_ClickAgainstFloors(benchmark::State& state) {
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
    Runner runner;
    const char* const names[] = {"two_spawns_us", "click_us", "util_linux_us"};
    interleaved(
        state, names,
        [] {
            spawnAndWait("/bin/true");
            spawnAndWait("/bin/true");
        },
        [&controller] { benchmark::DoNotOptimize(controller.statusMenu()); },
        [&runner] {
            benchmark::DoNotOptimize(runner.run(
                "/usr/bin/lsblk", {"-b", "-P", "-o", "NAME,SIZE,PTTYPE,PARTTYPE,LABEL"}));
            benchmark::DoNotOptimize(runner.run("/usr/bin/findmnt", {"-l", "-n"}));
        });
    qputenv("HOME", savedHome);
}
BENCHMARK(BM_ClickAgainstFloors)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
