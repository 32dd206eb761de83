#!/usr/bin/env bash
# Profile-guided build of the engine, driven by the bench:
#   1. an instrumented build runs "quillon bench" and "quillon perft",
#      writing its profile;
#   2. the same folder is built again from that profile.
# Both passes use one build folder, as GCC names the profile files after the
# object files. The result is BUILD_DIR/quillon (Release, link-time optimised).
#
# Usage: tools/pgo_build.sh [BUILD_DIR] [BENCH_DEPTH]   (default build-pgo, 7)
# Extra CMake options may be passed in QUILLON_CMAKE_ARGS, e.g.
# QUILLON_CMAKE_ARGS=-DQUILLON_NATIVE=ON for a build tuned to this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build-pgo}
depth=${2:-7}
# The profile folder must be absolute, and the build folder may be either.
case "$build_dir" in
/*) profile_dir="$build_dir/pgo-profile" ;;
*) profile_dir="$PWD/$build_dir/pgo-profile" ;;
esac
jobs=${JOBS:-2}
read -r -a extra <<<"${QUILLON_CMAKE_ARGS:-}"

rm -rf "$profile_dir"
echo "== instrumented build"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DQUILLON_PGO=GENERATE \
    -DQUILLON_PGO_DIR="$profile_dir" "${extra[@]}"
cmake --build "$build_dir" -j "$jobs" --target quillon

echo "== training run"
"$build_dir/quillon" bench "$depth" | tail -n 2
"$build_dir/quillon" perft 4 >/dev/null

echo "== optimised build from the profile"
cmake -S . -B "$build_dir" -DQUILLON_PGO=USE
cmake --build "$build_dir" -j "$jobs" --target quillon
"$build_dir/quillon" bench | tail -n 2
