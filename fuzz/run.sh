#!/bin/sh
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer on)
# in build-fuzz/ and runs them all at once for $1 seconds (default 600), seeded from the test
# fixtures.
# Fails when a target finds a crash, a hang or a sanitizer report; the input is kept in
# build-fuzz/findings/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
EXTRA_PACKAGES="clang libclang-rt-14-dev"
. "$top/tools/setup.sh"
build="$top/build-fuzz"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DEXFATBAR_TESTS=OFF -DEXFATBAR_FUZZ=ON -DEXFATBAR_STATIC_STAND_INS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target exfatbar_fuzz_targets >/dev/null
mkdir -p "$build/findings"

seed() {  # seed TARGET FILES...: a corpus of the fixture files and, line by line, their lines
    corpus="$build/corpus/$1"
    shift
    mkdir -p "$corpus"
    for file in "$@"; do
        cp "$file" "$corpus/"
        split -l 1 -a 4 "$file" "$corpus/$(basename "$file")-line-"
    done
}
fixtures="$top/tests/fixtures"
seed fuzz_partition_listing "$fixtures"/diskutil-list-*.txt
seed fuzz_mount_list "$fixtures"/mountinfo.txt
seed fuzz_identifier "$fixtures"/diskutil-list-*.txt
seed fuzz_stand_ins "$fixtures"/mountinfo.txt "$fixtures"/diskutil-list-linux.txt

# The targets run side by side; each has the whole time.
targets="fuzz_partition_listing fuzz_mount_list fuzz_identifier fuzz_stand_ins"
for target in $targets; do
    "$build/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -artifact_prefix="$build/findings/$target-" -print_final_stats=1 \
        "$build/corpus/$target" >"$build/$target.log" 2>&1 &
    eval "pid_$target=$!"
done
status=0
for target in $targets; do
    if eval "wait \$pid_$target"; then
        printf '%s for %s s: ' "$target" "$seconds"
        grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/$target.log" |
            tr -s ' \n' ' '
        echo
    else
        echo "FAILED: $target; see $build/$target.log and $build/findings/"
        tail -n 40 "$build/$target.log"
        status=1
    fi
done
exit $status
