#!/usr/bin/env bash
# without-controls.sh command [args...]
#
# Run by with-slapd.sh: runs the command with ZEB_TEST_LDAP_URL pointing at controls_proxy.py
# in front of that slapd (a server that ignores every request control), and stops exactly
# that proxy when the command ends. The command's exit status is the script's.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ -n "${ZEB_TEST_SLAPD_DIR:-}" ] || { echo "without-controls: run by with-slapd.sh" >&2; exit 1; }
port_file=$ZEB_TEST_SLAPD_DIR/controls-proxy.port
python3 "$here/controls_proxy.py" "$port_file" "$ZEB_TEST_SLAPD_DIR" &
proxy=$!
trap 'kill "$proxy" 2>/dev/null' EXIT
for _ in $(seq 1 100); do [ -s "$port_file" ] && break; sleep 0.05; done
[ -s "$port_file" ] || { echo "without-controls: the proxy did not start" >&2; exit 1; }
ZEB_TEST_LDAP_URL=ldap://127.0.0.1:$(cat "$port_file")
export ZEB_TEST_LDAP_URL
"$@"
