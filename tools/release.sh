#!/usr/bin/env bash
# release.sh: builds the release bundles into out/:
#   quillon-1.0-linux-x86_64.tar.gz   quillon, book.TXT, README.md
#   quillon-1.0-windows-x86_64.zip    quillon.exe, book.TXT, README.md
# each in a folder of its own, the book beside the engine. Needs what the
# README's set-up names, and g++-mingw-w64-x86-64 for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

# Release builds without tests; installing does not build the other tools.
bundle=(-DQUILLON_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)

# Linux: the profile-guided build (tools/pgo_build.sh), in one folder, with
# the C++ runtime linked in.
QUILLON_CMAKE_ARGS="${bundle[*]} -DQUILLON_INSTALL_BINDIR=. -DQUILLON_INSTALL_DOCDIR=. \
-DQUILLON_STATIC_RUNTIME=ON" tools/pgo_build.sh build-release-linux
cpack --config build-release-linux/CPackConfig.cmake -B out

# Windows: link-time optimised, without a profile.
cmake -S . -B build-release-windows -DCMAKE_BUILD_TYPE=Release "${bundle[@]}" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-release-windows -j 2 --target quillon
cpack --config build-release-windows/CPackConfig.cmake -B out

rm -rf out/_CPack_Packages
ls -l out/quillon-1.0-linux-x86_64.tar.gz out/quillon-1.0-windows-x86_64.zip
