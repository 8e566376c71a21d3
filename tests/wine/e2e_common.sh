# shellcheck shell=bash
# The sample workstation (samples/acme) in a Wine prefix, zeb.exe run on it, and views of
# the workstation taken before and after: shared by the end-to-end tests and scripts/demo.
# Source it from bash, after which the harness's functions are there too:
#
#   source tests/wine/e2e_common.sh
#   harness_make_prefix "$parent"; trap harness_stop EXIT
#   e2e_seed_sample_workstation "$samples" "$tools"     # Registry, INI files, shortcuts
#   e2e_install_zeb "$zeb_exe" "$samples"               # C:\ZEB\zeb.exe + directory.ldif
#   e2e_snapshot "$HARNESS_ROOT/before" "$tools"
#   e2e_run_zeb 90 "$HARNESS_ROOT/report.csv" [more switches...]
#   e2e_snapshot "$HARNESS_ROOT/after" "$tools"
#
# A snapshot is a folder of sorted text files, one per view (see e2e_snapshot).

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=harness.sh
source "$e2e_here/harness.sh"

# The sample directory's tree and the logged-in user zeb is told about.
E2E_TREE=ACME_TREE
E2E_USER=Robert.Sales.Acme
# The directory zeb is pointed at: the sample file installed beside zeb.exe or, when run by
# tests/ldap/with-slapd.sh, its private slapd loaded with the same file.
E2E_DIRECTORY=${ZEB_TEST_LDAP_URL:-'C:\ZEB\directory.ldif'}

# What Wine itself writes while zeb runs: the console settings of the console that zeb's
# "NET STOP SPOOLER" gets, and the display driver's date stamp, renewed whenever a program
# opens the virtual display.
E2E_WINE_REGISTRY_NOISE='^[-+] \[HKEY_USERS\\[^\\]+\\Console\]'
E2E_WINE_REGISTRY_NOISE+='|^[-+] \[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\\{4D36E968-E325-11CE-BFC1-08002BE10318\}\\0000\]'$'\t''"DriverDateData"='

e2e_fail() {
  echo "e2e: $*" >&2
  return 1
}

e2e_trim() {
  local text=${1#"${1%%[![:space:]]*}"}
  printf '%s\n' "${text%"${text##*[![:space:]]}"}"
}

# e2e_reg_string 'HKEY_...\key' name: a string value of the prefix's Registry, unescaped.
e2e_reg_string() {
  local exported=$HARNESS_ROOT/value.txt
  harness_export_reg "$1" "$exported" || return 1
  awk -v want="\"$2\"=" 'index($0, want) == 1 {
      text = substr($0, length(want) + 2); sub(/"$/, "", text)
      gsub(/\\\\/, "\\", text); print text; exit }' "$exported"
}

# e2e_shell_folder Desktop|"Start Menu": the folder as zeb reads it ("Shell Folders").
e2e_shell_folder() {
  e2e_reg_string 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' "$1"
}

# e2e_windows_to_unix 'C:\...': like harness_unix_path, for the drive letter in either case.
e2e_windows_to_unix() {
  harness_unix_path "C:${1:2}"
}

# e2e_seed_sample_workstation samples-folder tools-folder: the sample's Registry, its INI
# files under C:\windows with their attributes, and its shortcuts made by the shell object
# in the user's Desktop and Start Menu.
e2e_seed_sample_workstation() {
  local samples=$1 tools=$2
  harness_need_prefix || return 1

  # Wine links the Desktop to the home folder; the sample workstation's Desktop is a folder
  # of the prefix, so that its tree holds the shortcuts and nothing else.
  local desktop
  desktop=$(e2e_shell_folder Desktop) && [ -n "$desktop" ] || e2e_fail "no Desktop folder" || return 1
  desktop=$(e2e_windows_to_unix "$desktop") || return 1
  if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop" || return 1; fi

  harness_seed_reg "$samples/workstation.reg" || return 1

  local file relative
  while IFS= read -r -d '' file; do
    relative=${file#"$samples/windows/"}
    harness_seed_file "$file" "C:\\windows\\${relative//\//\\}" || return 1
  done < <(find "$samples/windows" -type f -print0)

  # attributes.txt: "path below windows | hidden|system" lines.
  local path attribute flag
  while IFS='|' read -r path attribute; do
    path=$(e2e_trim "$path") attribute=$(e2e_trim "$attribute")
    case $path in '' | '#'*) continue ;; esac
    case $attribute in
      hidden) flag=+h ;;
      system) flag=+s ;;
      *) e2e_fail "unknown attribute '$attribute' in attributes.txt" || return 1 ;;
    esac
    wine attrib "$flag" "C:\\windows\\${path//\//\\}" >/dev/null 2>&1 ||
      e2e_fail "attrib $flag $path failed" || return 1
  done <"$samples/attributes.txt"

  wine "$tools/make_shortcuts.exe" "$(harness_windows_path "$samples/shortcuts.txt")" ||
    e2e_fail "make_shortcuts could not make every shortcut" || return 1
  wineserver -w
}

# e2e_install_zeb zeb.exe samples-folder: the program and the sample directory in C:\ZEB.
e2e_install_zeb() {
  harness_seed_file "$1" 'C:\ZEB\zeb.exe' && harness_seed_file "$2/directory.ldif" 'C:\ZEB\directory.ldif'
}

# e2e_zeb_switches report-file [switches...]: zeb's switches for the sample directory and
# user, with the report, then the given ones, into the array E2E_ZEB_SWITCHES.
e2e_zeb_switches() {
  local report=$1
  shift
  E2E_ZEB_SWITCHES=("/DIRECTORY=$E2E_DIRECTORY" "/TREE=$E2E_TREE" "/USER=$E2E_USER"
    "/REPORT=$(harness_windows_path "$report")" "$@")
}

# e2e_run_zeb seconds report-file [switches...]: an unattended, hidden run of zeb on the
# sample directory on a virtual display, writing its report; returns zeb's exit code (124:
# killed at the time limit).
e2e_run_zeb() {
  local seconds=$1 report=$2
  shift 2
  rm -f "$report"
  e2e_zeb_switches "$report" /STEALTH "$@"
  harness_run "$seconds" 'C:\ZEB\zeb.exe' "${E2E_ZEB_SWITCHES[@]}" >"$HARNESS_ROOT/zeb.out" 2>&1
  local status=$?
  if [ "$status" -ne 0 ]; then
    echo "e2e: zeb.exe ended with exit code $status; what Wine said (WINEDEBUG=$WINEDEBUG):" >&2
    tail -n 20 "$HARNESS_ROOT/zeb.out" >&2
  fi
  return $status
}

# e2e_report_lines report.csv: the report's records without byte-order mark and CR.
e2e_report_lines() {
  sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' "$1"
}

# e2e_registry_lines export.txt: one line per key ("[key]") and per value ("[key]<TAB>value
# as exported"), wrapped values joined, sorted; so two exports compare line by line.
e2e_registry_lines() {
  awk '
    function flush() { if (value != "") print key "\t" value; value = "" }
    /^\[/ { flush(); key = $0; print key; next }
    continued { sub(/^ +/, ""); value = value $0
                continued = /\\$/ && !/"$/; if (continued) sub(/\\$/, "", value); next }
    /^("|@)/ { flush(); value = $0
               continued = /\\$/ && !/"$/; if (continued) sub(/\\$/, "", value); next }
    END { flush() }
  ' "$1" | LC_ALL=C sort
}

# e2e_c_path /unix/path/below/drive_c: the path as C:\... names it.
e2e_c_path() {
  local relative=${1#"$WINEPREFIX/drive_c/"}
  printf 'C:\\%s\n' "${relative//\//\\}"
}

# e2e_ini_lines file...: "C:\path<TAB>[section]<TAB>line" for every non-blank line of each
# INI file, comments included, sorted.
e2e_ini_lines() {
  local file
  for file in "$@"; do
    awk -v path="$(e2e_c_path "$file")" '
      { sub(/\r$/, "") }
      /^[ \t]*$/ { next }
      /^\[/ { section = $0; next }
      { print path "\t" section "\t" $0 }
    ' "$file"
  done | LC_ALL=C sort
}

# e2e_tree_hashes folder...: "sha1  C:\path" for every file and "folder  C:\path" for every
# folder below the given folders of drive C:, sorted.
e2e_tree_hashes() {
  local folder
  for folder in "$@"; do
    (
      cd "$WINEPREFIX/drive_c" || exit 1
      find "${folder#"$WINEPREFIX/drive_c/"}" -mindepth 1 -type d -printf 'folder  %p\n'
      find "${folder#"$WINEPREFIX/drive_c/"}" -type f -print0 | xargs -0 -r sha1sum
    )
  done | sed 's|  |  C:/|' | tr / '\\' | LC_ALL=C sort
}

# e2e_snapshot folder tools-folder: views of the prefix's workstation, taken with zeb and
# Wine stopped:
#   registry.txt   every key and value of HKEY_LOCAL_MACHINE and HKEY_USERS (UTF-8)
#   files.txt      hashes of the Windows directory and the Desktop and Start Menu trees
#   ini.txt        every line of every *.INI file below the Windows directory
#   shortcuts.txt  the three fields of every shortcut in the two trees (UTF-8, tab-separated)
e2e_snapshot() {
  local out=$1 tools=$2
  mkdir -p "$out" || return 1
  wineserver -w
  local root
  : >"$out/registry.txt"
  for root in HKEY_LOCAL_MACHINE HKEY_USERS; do
    harness_export_reg "$root" "$out/$root.reg.txt" || return 1
    e2e_registry_lines "$out/$root.reg.txt" >>"$out/registry.txt"
  done
  LC_ALL=C sort -o "$out/registry.txt" "$out/registry.txt"

  local windows desktop start_menu
  windows=$(harness_unix_path 'C:\windows') || return 1
  desktop=$(e2e_windows_to_unix "$(e2e_shell_folder Desktop)") || return 1
  start_menu=$(e2e_windows_to_unix "$(e2e_shell_folder 'Start Menu')") || return 1
  e2e_tree_hashes "$windows" "$desktop" "$start_menu" >"$out/files.txt"

  local -a inis=()
  mapfile -d '' inis < <(find "$windows" -type f -iname '*.ini' -print0)
  e2e_ini_lines "${inis[@]}" >"$out/ini.txt"

  local -a links=()
  local link
  while IFS= read -r -d '' link; do
    links+=("$(e2e_c_path "$link")")
  done < <(find "$desktop" "$start_menu" -type f -iname '*.lnk' -print0)
  wine "$tools/read_shortcuts.exe" "${links[@]}" 2>/dev/null | tr -d '\r' |
    iconv -f WINDOWS-1252 -t UTF-8 | LC_ALL=C sort >"$out/shortcuts.txt"
  wineserver -w
}

# e2e_changed_lines before.txt after.txt: what a view lost ("- line") and gained ("+ line").
e2e_changed_lines() {
  LC_ALL=C comm -23 "$1" "$2" | sed 's/^/- /'
  LC_ALL=C comm -13 "$1" "$2" | sed 's/^/+ /'
}

# e2e_prepare zeb.exe tools-folder samples-folder [parent-folder]: a new prefix (removed at
# exit) holding the sample workstation and zeb, and the snapshot "before" of it in
# $HARNESS_ROOT/before.
e2e_prepare() {
  local zeb=$1 tools=$2 samples=$3 parent=${4:-}
  harness_make_prefix ${parent:+"$parent"} || return 1
  trap harness_stop EXIT
  # The windows in the fonts Windows draws them in (the demo shows them).
  harness_copy_wine_fonts || return 1
  e2e_seed_sample_workstation "$samples" "$tools" || return 1
  e2e_install_zeb "$zeb" "$samples" || return 1
  e2e_snapshot "$HARNESS_ROOT/before" "$tools"
}

# e2e_show_changes before-folder after-folder: what changed between two snapshots, for a
# person to read: Registry keys and values, INI entries, shortcut fields; "-" before, "+" after.
e2e_show_changes() {
  echo "Registry (HKEY_LOCAL_MACHINE, HKEY_USERS):"
  e2e_show_view registry "$1" "$2" 1 "$E2E_WINE_REGISTRY_NOISE"
  echo "INI files under C:\\windows:"
  e2e_show_view ini "$1" "$2" 2
  echo "Shortcuts (target path | working directory | arguments):"
  e2e_show_view shortcuts "$1" "$2" 1
}

# e2e_show_view view before after head-fields [ignored-pattern]: the changed lines of a view,
# grouped under their first head-fields tab-separated fields (a key; a file and section; a
# shortcut), each group's lines before its "+" lines.
e2e_show_view() {
  local before=$2/$1.txt after=$3/$1.txt heads=$4 ignored=${5:-}
  e2e_changed_lines "$before" "$after" | { if [ -n "$ignored" ]; then grep -Ev -- "$ignored"; else cat; fi } |
    sed -e 's/^\([-+]\) /\1\t/' -e 's/^\([-+]\t\)\[\([^]\t]*\)\]/\1\2/' | LC_ALL=C sort -t "$(printf '\t')" -s -k2,$((heads + 1)) |
    awk -F '\t' -v heads="$heads" '
      {
        head = $2; for (i = 3; i <= heads + 1; i++) head = head " " $i
        rest = ""
        for (i = heads + 2; i <= NF; i++) rest = rest (i == heads + 2 ? "" : " | ") ($i == "" ? "(empty)" : $i)
        if (head != shown) { print "  " head; shown = head; any = 1 }
        print "    " $1 " " (NF < heads + 2 ? "(the key itself)" : rest)
      }
      END { if (!any) print "  (no change)" }'
}
