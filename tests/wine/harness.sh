# Wine harness for end-to-end tests. Source it from bash:
#
#   source tests/wine/harness.sh
#   harness_make_prefix "$build_dir"          # private prefix; sets WINEPREFIX, HOME
#   trap harness_stop EXIT                     # its wineserver goes, the folder too
#   harness_seed_reg seed.reg                  # .reg text, REGEDIT4 or version 5
#   harness_seed_file my.ini 'C:\windows\MY.INI'
#   harness_run 60 "$build_dir/zeb.exe" /AUTO  # under xvfb-run, killed after 60 s
#   harness_export_reg 'HKEY_LOCAL_MACHINE\Software\Varnok' out.txt   # UTF-8 text
#
# Every function returns non-zero on failure and says why on stderr. Nothing here touches
# a prefix or wineserver other than the one harness_make_prefix made.

# Quiet Wine, and no offers to install Mono or Gecko in a fresh prefix. No menu builder
# either: it mirrors every shortcut made into the home folder's menus and walks them all
# again at the start of the next Wine session; with shortcuts to servers that do not exist,
# that session's programs were seen to get no display at all.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=};winemenubuilder.exe=d"

harness_fail() {
  echo "harness: $*" >&2
  return 1
}

# harness_make_prefix [parent-folder]: makes a new folder under the parent (default
# $TMPDIR or /tmp) holding the prefix (pfx) and HOME (home), boots the prefix and
# reports how long that took. Sets HARNESS_ROOT, WINEPREFIX and HOME.
harness_make_prefix() {
  local parent=${1:-${TMPDIR:-/tmp}}
  mkdir -p "$parent" || return 1
  HARNESS_ROOT=$(mktemp -d "$parent/zeb-wine-XXXXXX") || return 1
  export WINEPREFIX=$HARNESS_ROOT/pfx
  export HOME=$HARNESS_ROOT/home
  mkdir -p "$HOME"
  local start end
  start=$(date +%s.%N)
  wine wineboot -i >/dev/null 2>&1 || harness_fail "wineboot failed in $WINEPREFIX" || return 1
  wineserver -w
  end=$(date +%s.%N)
  [ -f "$WINEPREFIX/system.reg" ] || harness_fail "no registry in $WINEPREFIX after wineboot" || return 1
  HARNESS_PREFIX_SECONDS=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", e - s }')
  echo "harness: wine prefix $WINEPREFIX made in $HARNESS_PREFIX_SECONDS s" >&2
}

# harness_copy_wine_fonts [prefix]: Wine's own fonts, "MS Sans Serif" among them, into the
# prefix's Fonts folder (default: this harness's prefix), so that windows are drawn in the
# fonts Windows has. Debian keeps them apart from every prefix; without them Wine draws the
# program's "MS Sans Serif" in a substitute.
harness_copy_wine_fonts() {
  local prefix=${1:-$WINEPREFIX}
  [ -d /usr/share/wine/fonts ] || return 0
  mkdir -p "$prefix/drive_c/windows/Fonts" &&
    cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" ||
    harness_fail "cannot copy Wine's fonts into $prefix"
}

harness_need_prefix() {
  [ -n "${HARNESS_ROOT:-}" ] && [ -d "$WINEPREFIX" ] || harness_fail "no prefix: call harness_make_prefix first"
}

# harness_windows_path /unix/path: the path as the prefix's Z: drive names it.
harness_windows_path() {
  case $1 in
    /*) printf 'Z:%s\n' "$(printf '%s' "$1" | tr / '\\')" ;;
    *) harness_fail "not an absolute path: $1" ;;
  esac
}

# harness_unix_path 'C:\dir\file': where a C: path of the prefix lies on disk.
harness_unix_path() {
  harness_need_prefix || return 1
  case $1 in
    [Cc]:\\*) printf '%s/drive_c/%s\n' "$WINEPREFIX" "$(printf '%s' "${1:3}" | tr '\\' /)" ;;
    *) harness_fail "not a C: path: $1" ;;
  esac
}

# harness_seed_reg file.reg: imports the file and waits until it is in the Registry.
harness_seed_reg() {
  harness_need_prefix || return 1
  [ -f "$1" ] || harness_fail "no such .reg file: $1" || return 1
  local file
  file=$(harness_windows_path "$(realpath "$1")") || return 1
  wine regedit /s "$file" >/dev/null 2>&1 || harness_fail "regedit could not import $1" || return 1
  wineserver -w
}

# harness_seed_file source 'C:\dir\name': copies a file into the prefix, making folders.
harness_seed_file() {
  harness_need_prefix || return 1
  local target
  target=$(harness_unix_path "$2") || return 1
  mkdir -p "$(dirname "$target")" && cp "$1" "$target" || harness_fail "cannot copy $1 to $2"
}

# harness_run seconds program [arguments...]: runs a Windows program on a virtual display,
# stdin empty; returns its exit code, or 124 when it was killed for running too long.
# The display stays up until every program of the prefix has ended: zeb's Save starts the
# spooler commands without waiting for them, and a console that comes up after its display
# went away gets no window and can crash.
harness_run() {
  harness_need_prefix || return 1
  local seconds=$1
  shift
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    timeout --kill-after=10 "$1" wine "${@:2}" </dev/null
    status=$?
    timeout 60 wineserver -w
    exit $status' harness_run "$seconds" "$@"
}

# harness_export_reg 'HKEY_...\key' out.txt: the key and its subtree in .reg form, as
# UTF-8 text with LF line ends.
harness_export_reg() {
  harness_need_prefix || return 1
  local exported=$HARNESS_ROOT/export.reg
  rm -f "$exported"
  wine regedit /e "$(harness_windows_path "$exported")" "$1" >/dev/null 2>&1
  [ -s "$exported" ] || harness_fail "regedit exported nothing for $1" || return 1
  iconv -f UTF-16 -t UTF-8 "$exported" | tr -d '\r' >"$2" || harness_fail "cannot convert the export of $1"
}

# harness_stop: ends the prefix's own wineserver (and so its programs) and removes the
# folder, unless HARNESS_KEEP is set.
harness_stop() {
  [ -n "${HARNESS_ROOT:-}" ] || return 0
  WINEPREFIX=$HARNESS_ROOT/pfx wineserver -k 2>/dev/null
  WINEPREFIX=$HARNESS_ROOT/pfx wineserver -w 2>/dev/null
  if [ -n "${HARNESS_KEEP:-}" ]; then
    echo "harness: kept $HARNESS_ROOT" >&2
  else
    rm -rf "$HARNESS_ROOT"
  fi
  HARNESS_ROOT=
}
