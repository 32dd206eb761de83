#!/usr/bin/env bash
# release.sh: builds the release bundles into out/:
#   quillon-1.0-linux-x86_64.tar.gz   quillon, book.TXT, README.md
#   quillon-1.0-windows-x86_64.zip    quillon.exe, book.TXT, README.md
# each in a folder of its own, the book beside the engine. Needs what the
# README's set-up names, and g++-mingw-w64-x86-64 for Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

# Release builds without tests; installing does not build the other tools.
common=(-DCMAKE_BUILD_TYPE=Release -DQUILLON_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON)

# Linux: one folder, the C++ runtime linked in so that older systems run it.
cmake -S . -B build-release-linux "${common[@]}" -DQUILLON_INSTALL_BINDIR=. \
    -DQUILLON_INSTALL_DOCDIR=. -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc"
cmake --build build-release-linux -j 2 --target quillon
cpack --config build-release-linux/CPackConfig.cmake -B out

cmake -S . -B build-release-windows "${common[@]}" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-release-windows -j 2 --target quillon
cpack --config build-release-windows/CPackConfig.cmake -B out

rm -rf out/_CPack_Packages
ls -l out/quillon-1.0-linux-x86_64.tar.gz out/quillon-1.0-windows-x86_64.zip
