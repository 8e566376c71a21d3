#!/bin/bash
# The sample directory loads unchanged into OpenLDAP: slapadd (slapd's own loader, with its
# schema checks) into a throwaway database with the null suffix, then slapcat reads every
# entry back. No server is started, so nothing is left running.
#   tests/ldap/sample_loads_test.sh [source-dir]
set -euo pipefail
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
ldif=$source_dir/samples/acme/directory.ldif
slapadd=${SLAPADD:-/usr/sbin/slapadd}
slapcat=${SLAPCAT:-/usr/sbin/slapcat}
[ -x "$slapadd" ] || { echo "sample-loads: $slapadd missing (scripts/setup installs slapd)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
mkdir "$work/data"
cat > "$work/slapd.conf" <<CONF
include /etc/ldap/schema/core.schema
include /etc/ldap/schema/cosine.schema
include /etc/ldap/schema/inetorgperson.schema
include $source_dir/tests/ldap/acme.schema
modulepath /usr/lib/ldap
moduleload back_mdb
database mdb
suffix ""
directory $work/data
maxsize 16777216
CONF

fail() { echo "sample-loads FAILED: $*" >&2; exit 1; }
"$slapadd" -f "$work/slapd.conf" -l "$ldif" > "$work/slapadd.log" 2>&1 ||
  { cat "$work/slapadd.log" >&2; fail "slapadd refused $ldif"; }
"$slapcat" -f "$work/slapd.conf" -o ldif-wrap=no > "$work/out.ldif" 2> "$work/slapcat.log" ||
  { cat "$work/slapcat.log" >&2; fail "slapcat could not read the database back"; }

expected=$(grep -c '^dn:' "$ldif")
loaded=$(grep -c '^dn:' "$work/out.ldif")
[ "$loaded" = "$expected" ] || fail "$loaded of $expected entries loaded"
aliases=$(grep -ci '^objectClass: alias$' "$ldif")
loaded_aliases=$(grep -ci '^objectClass: alias$' "$work/out.ldif")
[ "$loaded_aliases" = "$aliases" ] || fail "$loaded_aliases of $aliases aliases loaded"
# The accented names came through as UTF-8 (slapcat writes them base64-encoded).
grep -qxF 'dn:: Y249Wm/DqSxvdT3DiXF1aXBlLG89QWNtZQ==' "$work/out.ldif" ||
  fail "cn=Zoé,ou=Équipe,o=Acme is not in the database"
echo "sample-loads: $loaded entries, $loaded_aliases of them aliases, loaded into slapd"
