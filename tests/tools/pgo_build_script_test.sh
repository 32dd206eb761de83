#!/bin/sh
# tools/pgo_build.sh run against a stand-in cmake that logs its arguments and
# leaves a stand-in engine: the profile folder must lie inside the build
# folder, whether that is given relative to the tree or absolute.
set -eu
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/tree/tools"
cp "$src/tools/pgo_build.sh" "$work/tree/tools/"
cat >"$work/bin/cmake" <<'STANDIN'
#!/bin/sh
echo "$*" >>"$CMAKE_LOG"
while [ $# -gt 0 ]; do
  case "$1" in
  -B) mkdir -p "$2" ;;
  --build) printf '#!/bin/sh\necho bench\n' >"$2/quillon" && chmod +x "$2/quillon" ;;
  esac
  shift
done
STANDIN
chmod +x "$work/bin/cmake"

check() {  # build folder as given, expected profile folder
  : >"$work/log"
  (cd "$work" && PATH="$work/bin:$PATH" CMAKE_LOG="$work/log" bash tree/tools/pgo_build.sh "$1" 1 >/dev/null)
  grep -qF -- "-DQUILLON_PGO_DIR=$2" "$work/log" || {
    echo "build folder $1: profile not in $2:"; cat "$work/log"; exit 1
  }
}
check relative-build "$work/tree/relative-build/pgo-profile"
check "$work/absolute-build" "$work/absolute-build/pgo-profile"
# Nothing was created in the tree for the absolute folder.
[ "$(ls "$work/tree")" = "relative-build
tools" ] || { echo "stray folders in the tree:"; ls "$work/tree"; exit 1; }
echo "pgo_build.sh: profile folders as expected"
