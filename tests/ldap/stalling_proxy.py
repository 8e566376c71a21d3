#!/usr/bin/env python3
"""stalling_proxy.py PORT_FILE SLAPD_DIR REQUESTS

A loopback TCP proxy in front of the test's slapd (the one whose folder is SLAPD_DIR): it
passes the first REQUESTS LDAP requests on; when the next one arrives it stops that slapd
(SIGSTOP to its pid) and passes the request on, so that it is never answered: a directory
server that stops answering in the middle of a scan, at a point the test chooses. The
port it listens on goes to PORT_FILE. Runs until it is killed.
"""
import os
import signal
import sys
import threading

from ldap_proxy import serve, slapd_port

port_file, slapd_dir, allowed = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(os.path.join(slapd_dir, "slapd.pid")) as f:
    slapd_pid = int(f.read())

lock = threading.Lock()
passed = 0


def stall_after_allowed(message):
    global passed
    with lock:
        passed += 1
        if passed == allowed + 1:
            os.kill(slapd_pid, signal.SIGSTOP)
    return message


serve(port_file, slapd_port(slapd_dir), stall_after_allowed)
