# shellcheck shell=bash
# Expectations of the end-to-end tests and their checks: the report line by line, and each
# view of the workstation (e2e_common.sh) change by change. Source after e2e_common.sh.
#
# Placeholders in expected texts, filled in from the prefix once it exists (e2e_fill_places):
#   {DESKTOP}  {START_MENU}  the user's shell folders, e.g. C:\users\me\Desktop
#   {SID}      the user's key below HKEY_USERS, e.g. S-1-5-21-0-0-0-1000

e2e_failures=0
E2E_DESKTOP='' E2E_START_MENU='' E2E_SID=''
e2e_check() {  # e2e_check description command...
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    e2e_failures=$((e2e_failures + 1))
  fi
}

e2e_fill_places() {
  E2E_DESKTOP=$(e2e_shell_folder Desktop) && E2E_START_MENU=$(e2e_shell_folder 'Start Menu') &&
    E2E_SID=$(sed -n 's/^;; All keys relative to REGISTRY\\\\User\\\\//p' "$WINEPREFIX/user.reg") &&
    [ -n "$E2E_DESKTOP" ] && [ -n "$E2E_START_MENU" ] && [ -n "$E2E_SID" ] ||
    e2e_fail "cannot tell the user's shell folders and key"
}

e2e_placed() {
  local text=${1//\{DESKTOP\}/$E2E_DESKTOP}
  text=${text//\{START_MENU\}/$E2E_START_MENU}
  printf '%s\n' "${text//\{SID\}/$E2E_SID}"
}

# --- The report -------------------------------------------------------------------------------
#
# Expected records are the report's lines without their line number: ticked, kind, subType,
# location, oldText, newText, status, as CSV. Each goes into an order block: blocks must come
# in ascending order. Inside a block the files come in the order the file system lists them,
# so only the records of one file keep their written order there; the Registry is listed in
# a fixed order, so every Registry record gets a block of its own (e2e_expect_next).

E2E_REPORT_BLOCKS=() E2E_REPORT_RECORDS=()
e2e_next_block=1000

e2e_expect_record() {  # e2e_expect_record block 'csv'
  E2E_REPORT_BLOCKS+=("$1")
  E2E_REPORT_RECORDS+=("$2")
}

e2e_expect_next() {  # e2e_expect_next 'csv': after every record expected so far
  e2e_next_block=$((e2e_next_block + 1))
  e2e_expect_record "$e2e_next_block" "$1"
}

# The location field of an expected file record (file paths here hold no comma).
e2e_record_location() {
  local rest=${1#*,*,*,}
  printf '%s\n' "${rest%%,*}"
}

# e2e_report_matches report.csv: header, then exactly the expected records, each once, in an
# order their blocks allow, numbered from 1.
e2e_report_matches() {
  local report=$1 ok=0
  local -a lines=() expected=()
  mapfile -t lines < <(e2e_report_lines "$report")
  local record
  for record in "${E2E_REPORT_RECORDS[@]}"; do expected+=("$(e2e_placed "$record")"); done

  if [ "${lines[0]:-}" != "line,ticked,kind,subType,location,oldText,newText,status" ]; then
    echo "  report header is '${lines[0]:-}'" >&2
    ok=1
  fi
  local -a used=()
  local i j number rest found last_block=0
  declare -A last_index_of_location=()
  for ((i = 1; i < ${#lines[@]}; i++)); do
    number=${lines[i]%%,*}
    rest=${lines[i]#*,}
    [ "$number" = "$i" ] || { echo "  record $i is numbered '$number'" >&2; ok=1; }
    found=-1
    for ((j = 0; j < ${#expected[@]}; j++)); do
      if [ -z "${used[j]:-}" ] && [ "${expected[j]}" = "$rest" ]; then found=$j; break; fi
    done
    if [ "$found" -lt 0 ]; then
      echo "  unexpected record: ${lines[i]}" >&2
      ok=1
      continue
    fi
    used[found]=1
    local block=${E2E_REPORT_BLOCKS[found]}
    if [ "$block" -lt "$last_block" ]; then
      echo "  out of order (block $block after $last_block): ${lines[i]}" >&2
      ok=1
    fi
    last_block=$block
    local place
    place="$block $(e2e_record_location "$rest")"
    if [ -n "${last_index_of_location[$place]:-}" ] && [ "${last_index_of_location[$place]}" -gt "$found" ]; then
      echo "  out of order within its file: ${lines[i]}" >&2
      ok=1
    fi
    last_index_of_location[$place]=$found
  done
  for ((j = 0; j < ${#expected[@]}; j++)); do
    [ -n "${used[j]:-}" ] || { echo "  missing record: ${expected[j]}" >&2; ok=1; }
  done
  return $ok
}

# --- Views of the workstation -----------------------------------------------------------------
#
# Expected changes of a view are lines of e2e_changed_lines: "- " what went, "+ " what came.

declare -A E2E_VIEW_CHANGES=()

e2e_expect_change() {  # e2e_expect_change view '-'|'+' line
  E2E_VIEW_CHANGES[$1]+="$2 $(e2e_placed "$3")"$'\n'
}

# Registry lines are "[key]" or "[key]<TAB>value" (see e2e_registry_lines).
e2e_expect_key() {  # e2e_expect_key '-'|'+' 'HKEY_...\key' ['"name"=data'...]
  local sign=$1 key="[$2]"
  shift 2
  e2e_expect_change registry "$sign" "$key"
  local value
  for value in "$@"; do e2e_expect_change registry "$sign" "$key"$'\t'"$value"; done
}

e2e_expect_value() {  # e2e_expect_value 'HKEY_...\key' '"name"=old' '"name"=new'
  e2e_expect_change registry - "[$1]"$'\t'"$2"
  e2e_expect_change registry + "[$1]"$'\t'"$3"
}

e2e_expect_ini() {  # e2e_expect_ini 'C:\file' '[section]' 'old line' 'new line' (either may be '')
  [ -z "$3" ] || e2e_expect_change ini - "$1"$'\t'"$2"$'\t'"$3"
  [ -z "$4" ] || e2e_expect_change ini + "$1"$'\t'"$2"$'\t'"$4"
}

e2e_expect_shortcut() {  # e2e_expect_shortcut file 'old target' 'old dir' 'old args' 'new...' x3
  local file=$1
  e2e_expect_change shortcuts - "$file"$'\t'"$2"$'\t'"$3"$'\t'"$4"
  e2e_expect_change shortcuts + "$file"$'\t'"$5"$'\t'"$6"$'\t'"$7"
}

# e2e_view_matches view before-folder after-folder [ignored-line-pattern]: the view changed
# exactly as expected. Lines matching the pattern (an extended regular expression) belong to
# Wine itself and are left out.
e2e_view_matches() {
  local view=$1 before=$2/$1.txt after=$3/$1.txt ignored=${4:-}
  local actual expected
  actual=$(e2e_changed_lines "$before" "$after" | { if [ -n "$ignored" ]; then grep -Ev -- "$ignored"; else cat; fi } | LC_ALL=C sort)
  expected=$(printf '%s' "${E2E_VIEW_CHANGES[$view]:-}" | LC_ALL=C sort)
  [ "$actual" = "$expected" ] && return 0
  LC_ALL=C comm -13 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed '/^$/d; s/^/  unexpected: /' >&2
  LC_ALL=C comm -23 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed '/^$/d; s/^/  missing:    /' >&2
  return 1
}

# e2e_only_files_changed before-folder after-folder 'C:\path'...: the hashed trees differ in
# exactly these files, each still there with other contents.
e2e_only_files_changed() {
  local before=$1 after=$2
  shift 2
  local actual expected path
  actual=$(e2e_changed_lines "$before/files.txt" "$after/files.txt" | awk '
      { path = substr($0, index($0, "  ") + 2); signs[path] = signs[path] substr($0, 1, 1) }
      END { for (path in signs) {
              what = signs[path] == "-+" ? "changed" : signs[path] == "-" ? "removed" : "added"
              print what " " path } }' | LC_ALL=C sort)
  expected=$(for path in "$@"; do echo "changed $(e2e_placed "$path")"; done | LC_ALL=C sort)
  [ "$actual" = "$expected" ] && return 0
  LC_ALL=C comm -13 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed '/^$/d; s/^/  unexpected: /' >&2
  LC_ALL=C comm -23 <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed '/^$/d; s/^/  missing:    /' >&2
  return 1
}

# e2e_is_hidden 'C:\path': the file has the hidden attribute.
e2e_is_hidden() {
  local listed
  listed=$(wine attrib "$(e2e_placed "$1")" 2>/dev/null | tr -d '\r')
  wineserver -w
  [[ $listed =~ ^.{4}H ]]
}

# --- After a rollback -------------------------------------------------------------------------
#
# Besides Wine's own noise, exactly one thing is left out of the comparison: the computer's
# journal key HKLM\Software\Varnok\Consulting\ZEB\Journal, with the two keys above it that
# the sample lacks. The first journaled run makes it and a rollback keeps it on purpose: every
# later journal of this computer is signed and verified with it.
E2E_JOURNAL_NOISE="$E2E_WINE_REGISTRY_NOISE"'|^[-+] \[HKEY_LOCAL_MACHINE\\Software\\Varnok\\Consulting(\\ZEB(\\Journal)?)?\]'

# e2e_same_workstation before-folder after-folder: no view differs from the expected changes
# (none, unless E2E_VIEW_CHANGES says otherwise), apart from that noise; no hashed file differs.
e2e_same_workstation() {
  local view ok=0
  for view in registry ini shortcuts; do
    e2e_view_matches "$view" "$1" "$2" "$E2E_JOURNAL_NOISE" || { echo "  ($view differs)" >&2; ok=1; }
  done
  diff -q "$1/files.txt" "$2/files.txt" >/dev/null || { echo "  (files differ)" >&2; ok=1; }
  return $ok
}
