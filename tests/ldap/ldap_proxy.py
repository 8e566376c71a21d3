"""A loopback TCP proxy in front of the test's slapd, for the proxies the tests run
(stalling_proxy.py, controls_proxy.py): each LDAP request the client sends, and each answer
the server sends, passes through a function of the proxy's, which gives the bytes to send
on."""
import os
import socket
import threading


def message_length(buffer):
    """The length of the BER element at the start of buffer, or None when incomplete."""
    if len(buffer) < 2:
        return None
    first = buffer[1]
    if first < 0x80:
        return 2 + first
    count = first & 0x7F
    if len(buffer) < 2 + count:
        return None
    return 2 + count + int.from_bytes(buffer[2:2 + count], "big")


def contents(element):
    """The content octets of one whole BER element (definite length)."""
    first = element[1]
    return element[2 + (first & 0x7F if first >= 0x80 else 0):]


def elements(content):
    """The BER elements one after the other in content."""
    while content:
        length = message_length(content)
        yield content[:length]
        content = content[length:]


def element(tag, content):
    """A BER element of tag and content, its length in the definite form."""
    size = len(content)
    if size < 0x80:
        return bytes([tag, size]) + content
    octets = size.to_bytes((size.bit_length() + 7) // 8, "big")
    return bytes([tag, 0x80 | len(octets)]) + octets + content


def slapd_port(slapd_dir):
    with open(os.path.join(slapd_dir, "port")) as f:
        return int(f.read())


def serve(port_file, server_port, request, answer=lambda message: message):
    """Listens on a free loopback port (written to port_file) and proxies every connection
    to server_port, each request through request(bytes) -> bytes and each answer through
    answer(bytes) -> bytes. Runs until killed."""

    def pump(source, sink, change):
        buffer = b""
        while True:
            data = source.recv(65536)
            if not data:
                return
            buffer += data
            while (length := message_length(buffer)) is not None and len(buffer) >= length:
                message, buffer = buffer[:length], buffer[length:]
                sink.sendall(change(message))

    def quietly(pump, *args):
        """A connection the client closes or resets ends its pumps, and that is all."""
        try:
            pump(*args)
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
        server = socket.create_connection(("127.0.0.1", server_port))
        for args in ((client, server, request), (server, client, answer)):
            threading.Thread(target=quietly, args=(pump, *args), daemon=True).start()
