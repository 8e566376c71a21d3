#!/usr/bin/env bash
# with-slapd.sh LDIF[,LDIF...] command [args...]
#
# Runs the command with a private slapd of its own: started on a free loopback port from the
# LDIF file(s), its URL in ZEB_TEST_LDAP_URL, stopped (exactly that pid) when the command
# ends, however it ends. The command's exit status is the script's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
IFS=, read -r -a ldifs <<<"$1"
shift
dir=$(mktemp -d "${TMPDIR:-/tmp}/zeb-slapd-XXXXXX")
rmdir "$dir"
stop() { "$here/stop-slapd.sh" "$dir" --purge >/dev/null 2>&1 || true; }
trap stop EXIT
trap 'exit 143' TERM INT HUP
"$here/start-slapd.sh" "$dir" auto "${ldifs[@]}" >/dev/null || { echo "with-slapd: slapd did not start" >&2; exit 1; }
# Killed outright (a test runner's time limit sends SIGKILL), this script runs no trap: a
# watcher of its own session stops the slapd once this script is gone.
setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; "$2/stop-slapd.sh" "$3" --purge' \
  _ $$ "$here" "$dir" </dev/null >/dev/null 2>&1 &
ZEB_TEST_LDAP_URL=$(tr -d '/\n' <"$dir/url" | sed 's|ldap:|ldap://|')
export ZEB_TEST_LDAP_URL ZEB_TEST_SLAPD_DIR=$dir
"$@"
