#!/usr/bin/env bash
# with-controls-proxy.sh strip|garble command [args...]
#
# Run by with-slapd.sh: runs the command with ZEB_TEST_LDAP_URL pointing at controls_proxy.py
# in front of that slapd (strip: a server that ignores every request control; garble: one
# whose answers' controls cannot be read), and stops exactly that proxy when the command
# ends. The command's exit status is the script's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${ZEB_TEST_SLAPD_DIR:-}" ] || { echo "with-controls-proxy: run by with-slapd.sh" >&2; exit 1; }
mode=$1
shift
port_file=$ZEB_TEST_SLAPD_DIR/controls-proxy.port
python3 "$here/controls_proxy.py" "$port_file" "$ZEB_TEST_SLAPD_DIR" "$mode" &
proxy=$!
trap 'kill "$proxy" 2>/dev/null' EXIT
for _ in $(seq 1 100); do [ -s "$port_file" ] && break; sleep 0.05; done
[ -s "$port_file" ] || { echo "with-controls-proxy: the proxy did not start" >&2; exit 1; }
ZEB_TEST_LDAP_URL=ldap://127.0.0.1:$(cat "$port_file")
export ZEB_TEST_LDAP_URL
"$@"
