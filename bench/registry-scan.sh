#!/usr/bin/env bash
# registry-scan.sh [N] - times the program's Registry tree search against the bare walk of the
# Registry yardstick (../shared/bench), under Wine, over the same N synthetic keys.
#
# Builds the yardstick's generator and bare walk with mingw-w64 into a temporary folder (their
# sources stay where they are), builds bench/registry_scan_bench.exe in BUILD_DIR, makes a
# fresh private WINEPREFIX, fills HKLM\Software\Bench with N keys (regbench_gen.exe, seeded)
# and then, RUNS times round-robin, times:
#   bare   regbench_bare.exe AcmeNeedle HKLM\Software\Bench   (its own walk_ms)
#   ours   registry_scan_bench.exe \Software\Bench AcmeNeedle  (SearchRegistryTree, once in
#          "Search and Replace" with the needle, once in "Dereference Aliases" with a
#          directory that finds nothing)
# Prints the minimum and median in-process walk times, the ratios of the minima, and a last
# line "ratio search_replace/bare=X dereference/bare=Y keys=N (medians)".
#
# Env: RUNS (3), SEED (12345), BUILD_DIR (build/windows), YARDSTICK (../shared/bench),
#      CXX (x86_64-w64-mingw32-g++-posix), KEEP_PREFIX=1. Kills only its own wineserver.
set -euo pipefail

N=${1:-20000}
RUNS=${RUNS:-3}
SEED=${SEED:-12345}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
YARDSTICK=${YARDSTICK:-$(cd "$top/../shared/bench" 2>/dev/null && pwd || true)}
BUILD_DIR=${BUILD_DIR:-$top/build/windows}
CXX=${CXX:-x86_64-w64-mingw32-g++-posix}
NEEDLE=AcmeNeedle

for tool in wine wineserver wineboot cmake "$CXX"; do
  command -v "$tool" >/dev/null || { echo "registry-scan: missing $tool (scripts/setup installs it)" >&2; exit 1; }
done
[[ -f $YARDSTICK/regbench_gen.cpp && -f $YARDSTICK/regbench_bare.cpp ]] ||
  { echo "registry-scan: no yardstick sources in '$YARDSTICK' (set YARDSTICK)" >&2; exit 1; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/registry-scan.XXXXXX")
export WINEPREFIX=$WORK/pfx HOME=$WORK/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
mkdir -p "$HOME"
cleanup() {
  wineserver -k 2>/dev/null || true
  if [[ ${KEEP_PREFIX:-0} == 1 ]]; then echo "prefix kept: $WINEPREFIX"; else rm -rf "$WORK"; fi
}
trap cleanup EXIT

# ---- build ------------------------------------------------------------------------------------
for tool in regbench_gen regbench_bare; do
  "$CXX" -O2 -static -o "$WORK/$tool.exe" "$YARDSTICK/$tool.cpp"
done
cmake -S "$top" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$BUILD_DIR" --target registry_scan_bench -j2 >/dev/null
BENCH=$BUILD_DIR/bench/registry_scan_bench.exe

# ---- fresh prefix, N keys -----------------------------------------------------------------------
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p  # keep the server running: the walks below measure a warm server
gen_out=$(wine "$WORK/regbench_gen.exe" "$N" "$SEED")

# ---- timed runs, round-robin ------------------------------------------------------------------
field() { sed -n "s/.*$1=\([0-9.]*\).*/\1/p" <<<"$2" | head -1; }
bare=() sr=() deref=()
wine "$WORK/regbench_bare.exe" "$NEEDLE" 'HKLM\Software\Bench' >/dev/null  # warm-up
for r in $(seq "$RUNS"); do
  out=$(wine "$WORK/regbench_bare.exe" "$NEEDLE" 'HKLM\Software\Bench')
  bare+=("$(field walk_ms "$out")")
  bare_line=$out
  out=$(wine "$BENCH" '\Software\Bench' "$NEEDLE" 1)
  sr+=("$(field median_ms "$(grep '^search_replace' <<<"$out")")")
  deref+=("$(field median_ms "$(grep '^dereference' <<<"$out")")")
  ours_lines=$out
done

# The machine may be shared: the minimum shows what the walk costs, the median what a run met.
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END{print (NR%2)?a[(NR+1)/2]:(a[NR/2]+a[NR/2+1])/2}'; }
minimum() { printf '%s\n' "$@" | sort -n | head -1; }
b=$(median "${bare[@]}") s=$(median "${sr[@]}") d=$(median "${deref[@]}")
echo "# host: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg), $(wine --version); N=$N seed=$SEED runs=$RUNS"
sed 's/^/# generator: /' <<<"$gen_out"
echo "# bare walk (last run): $bare_line"
sed 's/^/# ours (last run): /' <<<"$ours_lines"
printf "%-16s %9s %9s  %s\n" walk min_ms median_ms "all runs (ms)"
for w in bare search_replace dereference; do
  case $w in bare) v=("${bare[@]}") ;; search_replace) v=("${sr[@]}") ;; dereference) v=("${deref[@]}") ;; esac
  printf "%-16s %9.1f %9.1f  %s\n" "$w" "$(minimum "${v[@]}")" "$(median "${v[@]}")" "${v[*]}"
done
awk -v b="$(minimum "${bare[@]}")" -v s="$(minimum "${sr[@]}")" -v d="$(minimum "${deref[@]}")" \
  'BEGIN{printf "ratio of minima: search_replace/bare=%.2f dereference/bare=%.2f\n", s/b, d/b}'
awk -v b="$b" -v s="$s" -v d="$d" -v N="$N" \
  'BEGIN{printf "ratio search_replace/bare=%.2f dereference/bare=%.2f keys=%d (medians)\n", s/b, d/b, N}'
