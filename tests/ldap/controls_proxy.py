#!/usr/bin/env python3
"""controls_proxy.py PORT_FILE SLAPD_DIR strip|garble

A loopback TCP proxy in front of the test's slapd (the one whose folder is SLAPD_DIR):
- strip: takes the controls off every request, a directory server that ignores them (a
  paged search is answered whole, without a response control);
- garble: replaces the value of every control in an answer with bytes that are no BER, a
  server whose paged results control cannot be read.
The port it listens on goes to PORT_FILE. Runs until it is killed.
"""
import sys

from ldap_proxy import contents, element, elements, serve, slapd_port

port_file, slapd_dir, mode = sys.argv[1], sys.argv[2], sys.argv[3]
# LDAPMessage ::= SEQUENCE { messageID, protocolOp, controls [0] OPTIONAL }
SEQUENCE, CONTROLS, OCTET_STRING = 0x30, 0xA0, 0x04


def without_controls(message):
    kept = [part for part in elements(contents(message)) if part[0] != CONTROLS]
    return element(SEQUENCE, b"".join(kept))


def garbled_control(control):
    """Control ::= SEQUENCE { controlType, criticality OPTIONAL, controlValue OPTIONAL }"""
    parts = list(elements(contents(control)))
    if len(parts) > 1 and parts[-1][0] == OCTET_STRING:
        parts[-1] = element(OCTET_STRING, b"\xff\xff")
    return element(SEQUENCE, b"".join(parts))


def with_garbled_controls(message):
    parts = [element(CONTROLS, b"".join(garbled_control(c) for c in elements(contents(part))))
             if part[0] == CONTROLS else part
             for part in elements(contents(message))]
    return element(SEQUENCE, b"".join(parts))


if mode == "strip":
    serve(port_file, slapd_port(slapd_dir), without_controls)
else:
    serve(port_file, slapd_port(slapd_dir), lambda message: message, with_garbled_controls)
