#!/usr/bin/env python3
"""controls_proxy.py PORT_FILE SLAPD_DIR

A loopback TCP proxy in front of the test's slapd (the one whose folder is SLAPD_DIR) that
takes the controls off every request: a directory server that ignores them (a paged search
is answered whole, without a response control). The port it listens on goes to PORT_FILE.
Runs until it is killed.
"""
import sys

from ldap_proxy import contents, elements, sequence, serve, slapd_port

port_file, slapd_dir = sys.argv[1], sys.argv[2]
CONTROLS = 0xA0  # LDAPMessage ::= SEQUENCE { messageID, protocolOp, controls [0] OPTIONAL }


def without_controls(message):
    kept = [part for part in elements(contents(message)) if part[0] != CONTROLS]
    return sequence(b"".join(kept))


serve(port_file, slapd_port(slapd_dir), without_controls)
