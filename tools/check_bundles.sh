#!/usr/bin/env bash
# check_bundles.sh NATIVE_BUILD WINDOWS_BUILD: the book must lie beside the
# engine wherever it is put. Installs the native build into a temporary prefix
# and asks the installed engine for a book move; packs the Windows build into
# its zip and checks what the zip holds.
set -euo pipefail
native=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$native" --prefix "$scratch/usr" >/dev/null
ls "$scratch/usr/bin/quillon" "$scratch/usr/bin/book.TXT"
# The start position is in the book: its move comes at depth 0, score 1000.
if ! printf 'ucci\ngo depth 3\nquit\n' | "$scratch/usr/bin/quillon" |
    grep '^info depth 0 score 1000 pv '; then
    echo "the installed engine did not find its book" >&2
    exit 1
fi

(cd "$windows" && cpack -G ZIP -B "$scratch/pack" >/dev/null)
zip=$scratch/pack/quillon-1.0-windows-x86_64.zip
contents=$(cmake -E tar tf "$zip" | sort | tr '\n' ' ')
expected="quillon-1.0-windows-x86_64/README.md quillon-1.0-windows-x86_64/book.TXT quillon-1.0-windows-x86_64/quillon.exe "
echo "$(basename "$zip"): $contents"
if [[ "$contents" != "$expected" ]]; then
    echo "expected: $expected" >&2
    exit 1
fi
