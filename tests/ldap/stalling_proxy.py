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
import socket
import sys
import threading

port_file, slapd_dir, allowed = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(os.path.join(slapd_dir, "port")) as f:
    slapd_port = int(f.read())
with open(os.path.join(slapd_dir, "slapd.pid")) as f:
    slapd_pid = int(f.read())

lock = threading.Lock()
passed = 0


def message_length(buffer):
    """The length of the BER message at the start of buffer, or None when incomplete."""
    if len(buffer) < 2:
        return None
    first = buffer[1]
    if first < 0x80:
        return 2 + first
    count = first & 0x7F
    if len(buffer) < 2 + count:
        return None
    return 2 + count + int.from_bytes(buffer[2:2 + count], "big")


def requests(client, server):
    global passed
    buffer = b""
    while True:
        data = client.recv(65536)
        if not data:
            return
        buffer += data
        while (length := message_length(buffer)) is not None and len(buffer) >= length:
            message, buffer = buffer[:length], buffer[length:]
            with lock:
                passed += 1
                if passed == allowed + 1:
                    os.kill(slapd_pid, signal.SIGSTOP)
            server.sendall(message)


def answers(server, client):
    while data := server.recv(65536):
        client.sendall(data)


def quietly(pump):
    """A connection the client closes or resets ends its pumps, and that is all."""
    try:
        pump()
    except OSError:
        pass


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(16)
with open(port_file + ".tmp", "w") as f:
    f.write(str(listener.getsockname()[1]))
os.rename(port_file + ".tmp", port_file)
while True:
    client, _ = listener.accept()
    server = socket.create_connection(("127.0.0.1", slapd_port))
    for pump in (lambda: requests(client, server), lambda: answers(server, client)):
        threading.Thread(target=quietly, args=(pump,), daemon=True).start()
