#!/usr/bin/env bash
# A "Dereference Aliases" scan of the sample workstation by zeb.exe under Wine, once against
# the LDIF directory and once against a private slapd loaded with the same file, side by
# side in one run: the time of each zeb run (start-up, scan, Save, exit) and the requests
# slapd received (from its stats log), by kind.
#
#   [RUNS=N] bench/ldap-scan.sh [USERS]
#
# USERS (default 0) adds a generated organization to the directory (units of ten users, one
# in ten an alias) and a Registry key to the workstation with one value per generated user
# (every tenth value names an alias, and every name is met twice), so that the scan meets
# USERS more names. Needs build/windows (make windows).
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
users=${1:-0}
if [ -z "${ZEB_TEST_LDAP_URL:-}" ]; then
  work=$(mktemp -d "${TMPDIR:-/tmp}/zeb-ldap-bench-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  cp "$top/samples/acme/directory.ldif" "$work/directory.ldif"
  {
    echo 'REGEDIT4'
    echo
    echo '[HKEY_LOCAL_MACHINE\Software\ZebBench]'
  } >"$work/bench.reg"
  if [ "$users" -gt 0 ]; then
    printf '\ndn: o=Bench\nobjectClass: organization\no: Bench\n' >>"$work/directory.ldif"
    for ((u = 0; u < (users + 9) / 10; u++)); do
      printf '\ndn: ou=Unit%d,o=Bench\nobjectClass: organizationalUnit\nou: Unit%d\n' "$u" "$u"
      for ((c = 0; c < 10; c++)); do
        if [ "$c" -eq 9 ]; then
          printf '\ndn: cn=User9,ou=Unit%d,o=Bench\nobjectClass: alias\nobjectClass: extensibleObject\ncn: User9\naliasedObjectName: cn=User0,ou=Unit%d,o=Bench\n' "$u" "$u"
        else
          printf '\ndn: cn=User%d,ou=Unit%d,o=Bench\nobjectClass: inetOrgPerson\ncn: User%d\nsn: Bench\n' "$c" "$u" "$c"
        fi
      done
    done >>"$work/directory.ldif"
    for ((i = 0; i < users; i++)); do
      # As tree paths ("\\ACME_TREE\.User1.Unit0.Bench"): a bare dotted name is tested only
      # in the values named after a user or context, so no scan would meet these.
      printf '"Name%d"="\\\\\\\\ACME_TREE\\\\.User%d.Unit%d.Bench"\n"Again%d"="\\\\\\\\ACME_TREE\\\\.User%d.Unit%d.Bench"\n' \
        "$i" $((i % 10)) $((i / 10)) "$i" $((i % 10)) $((i / 10))
    done >>"$work/bench.reg"
  fi
  export ZEB_BENCH_WORK=$work SLAPD_DEBUG=stats
  "$top/tests/ldap/with-slapd.sh" "$work/directory.ldif" bash "$0" "$users"
  exit $?
fi

source "$top/tests/wine/e2e_common.sh"
build=$top/build/windows
tools=$build/tests/wine
work=$ZEB_BENCH_WORK
log=$ZEB_TEST_SLAPD_DIR/slapd.log
url=$ZEB_TEST_LDAP_URL
requests() { grep -cE " (SRCH base|BIND dn)=" "$log"; }
count_of() { grep -cE " $1" "$log"; }

# Distinct names the sample workstation's scan meets that pass through an alias.
sample_names_through_aliases=12
declare -A seconds=()
times_ldif=() times_ldap=()
for ((run = 1; run <= ${RUNS:-1}; run++)); do
  for mode in ldif ldap; do
    e2e_prepare "$build/zeb.exe" "$tools" "$top/samples/acme" "$work" >/dev/null 2>&1 ||
      { echo "ldap-scan: cannot seed a prefix" >&2; exit 1; }
    harness_seed_reg "$work/bench.reg" || exit 1
    harness_seed_file "$work/directory.ldif" 'C:\ZEB\directory.ldif' || exit 1
    if [ "$mode" = ldif ]; then E2E_DIRECTORY='C:\ZEB\directory.ldif'; else E2E_DIRECTORY=$url; fi
    binds=$(count_of 'BIND dn=') searches=$(count_of 'SRCH base=')
    started=$(date +%s%N)
    e2e_run_zeb 600 "$HARNESS_ROOT/report.csv" >/dev/null 2>&1
    status=$?
    seconds[$mode]=$(awk -v ns=$(($(date +%s%N) - started)) 'BEGIN { printf "%.2f", ns / 1e9 }')
    changes=$(($(e2e_report_lines "$HARNESS_ROOT/report.csv" | wc -l) - 1))
    echo "$mode: zeb ran ${seconds[$mode]} s (exit code $status), $changes changes"
    if [ "$mode" = ldap ]; then
      sleep 0.5
      subtree=$(grep -E " SRCH base=" "$log" | tail -n +$((searches + 1)) | grep -c 'scope=2')
      pages=$(grep -E " SRCH base=" "$log" | tail -n +$((searches + 1)) | grep -cE 'filter="(\(\|)?\(objectClass=alias\)')
      rounds=$(($(count_of 'BIND dn=') - binds + $(count_of 'SRCH base=') - searches))
      echo "ldap: requests to slapd: $(($(count_of 'BIND dn=') - binds)) binds," \
        "$(($(count_of 'SRCH base=') - searches)) searches ($subtree of them subtree searches)"
      # The bound: bind + the index's pages + one per distinct name through an alias: the
      # sample's, counted from its workstation (bench/README.md lists them), and one per
      # generated unit (its alias User9, named by two values).
      through=$((sample_names_through_aliases + (users + 9) / 10))
      echo "ldap: round trips $rounds, bound $((1 + pages + through))" \
        "(1 bind + $pages index pages + $through names through an alias)"
    fi
    harness_stop
    trap - EXIT
    if [ "$mode" = ldif ]; then times_ldif+=("${seconds[ldif]}"); else times_ldap+=("${seconds[ldap]}"); fi
  done
  awk -v a="${seconds[ldap]}" -v b="${seconds[ldif]}" 'BEGIN { printf "time_ratio ldap/ldif = %.3f\n", a / b }'
done
# With RUNS > 1 the two modes took turns; the medians' ratio is the one to read.
if [ "${RUNS:-1}" -gt 1 ]; then
  median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  awk -v a="$(median "${times_ldap[@]}")" -v b="$(median "${times_ldif[@]}")" \
    'BEGIN { printf "median: ldif %.2f s, ldap %.2f s, time_ratio ldap/ldif = %.3f\n", b, a, a / b }'
fi
