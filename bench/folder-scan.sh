#!/usr/bin/env bash
# folder-scan.sh [FOLDERS FILES]... - times the program's INI scan and shortcut walk against the
# bare folder walk (bench/bare_file_walk.cpp, one "*" listing per folder), under Wine, over the
# same generated trees.
#
# Builds bench/folder_tree_gen.exe, bench/bare_file_walk.exe and bench/folder_scan_bench.exe in
# BUILD_DIR, makes a fresh private WINEPREFIX, and for each FOLDERS FILES pair (default
# "3000 30000" and "30000 30000") generates a tree under C:\bench (seeded) and then, RUNS times
# round-robin, times:
#   bare      bare_file_walk.exe C:\bench\treeN                (its own walk_ms)
#   ini       folder_scan_bench.exe: ScanIniFiles over the tree ("Search and Replace")
#   shortcut  folder_scan_bench.exe: ShortcutScan over the tree
# Prints minima, medians, every run, and per tree a last line
# "ratio ini/bare=X shortcut/bare=Y folders=F files=N (medians)".
#
# Env: RUNS (5), SEED (12345), BUILD_DIR (build/windows), KEEP_PREFIX=1. Kills only its own
# wineserver.
set -euo pipefail

RUNS=${RUNS:-5}
SEED=${SEED:-12345}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$top/build/windows}
if [[ $# -eq 0 ]]; then set -- 3000 30000 30000 30000; fi
(( $# % 2 == 0 )) || { echo "folder-scan: arguments come in FOLDERS FILES pairs" >&2; exit 2; }

for tool in wine wineserver wineboot cmake; do
  command -v "$tool" >/dev/null || { echo "folder-scan: missing $tool (scripts/setup installs it)" >&2; exit 1; }
done

WORK=$(mktemp -d "${TMPDIR:-/tmp}/folder-scan.XXXXXX")
export WINEPREFIX=$WORK/pfx HOME=$WORK/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
mkdir -p "$HOME"
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ ${KEEP_PREFIX:-0} == 1 ]]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# ---- build ------------------------------------------------------------------------------------
cmake -S "$top" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target folder_tree_gen bare_file_walk folder_scan_bench -j2 >/dev/null
GEN=$BUILD_DIR/bench/folder_tree_gen.exe
BARE=$BUILD_DIR/bench/bare_file_walk.exe
BENCH=$BUILD_DIR/bench/folder_scan_bench.exe

# ---- fresh prefix -----------------------------------------------------------------------------
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p  # keep the server running: the walks below measure a warm server

field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2" | head -1; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{print (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }
minimum() { printf '%s\n' "$@" | sort -n | head -1; }
echo "# host: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version); seed=$SEED runs=$RUNS"

tree=0
while (( $# )); do
  folders=$1 files=$2
  shift 2
  tree=$((tree + 1))
  root="C:\\bench\\tree$tree"
  gen_out=$(wine "$GEN" "$root" "$folders" "$files" "$SEED")
  bare=() ini=() lnk=()
  wine "$BARE" "$root" >/dev/null  # warm-up: the file cache
  for r in $(seq "$RUNS"); do
    out=$(wine "$BARE" "$root")
    bare+=("$(field walk_ms "$out")")
    bare_line=$out
    out=$(wine "$BENCH" "$root" AcmeNeedle 1)
    ini+=("$(field median_ms "$(grep '^ini' <<<"$out")")")
    lnk+=("$(field median_ms "$(grep '^shortcut' <<<"$out")")")
    ours_lines=$out
  done
  b=$(median "${bare[@]}") i=$(median "${ini[@]}") s=$(median "${lnk[@]}")
  echo "# tree $tree: $gen_out"
  echo "# bare walk (last run): $bare_line"
  sed 's/^/# ours (last run): /' <<<"$ours_lines"
  printf "%-10s %9s %9s  %s\n" walk min_ms median_ms "all runs (ms)"
  for w in bare ini shortcut; do
    case $w in bare) v=("${bare[@]}") ;; ini) v=("${ini[@]}") ;; shortcut) v=("${lnk[@]}") ;; esac
    printf "%-10s %9.1f %9.1f  %s\n" "$w" "$(minimum "${v[@]}")" "$(median "${v[@]}")" "${v[*]}"
  done
  awk -v b="$(minimum "${bare[@]}")" -v i="$(minimum "${ini[@]}")" -v s="$(minimum "${lnk[@]}")" \
    'BEGIN{printf "ratio of minima: ini/bare=%.2f shortcut/bare=%.2f\n", i/b, s/b}'
  awk -v b="$b" -v i="$i" -v s="$s" -v F="$folders" -v N="$files" \
    'BEGIN{printf "ratio ini/bare=%.2f shortcut/bare=%.2f folders=%d files=%d (medians)\n", i/b, s/b, F, N}'
done
