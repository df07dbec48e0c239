#!/usr/bin/env python3
"""Frees the JACK server registry's entries whose server process is gone.

The JACK library keeps the names of at most eight running servers in a shared registry. A server
that died without stopping (a test run interrupted, a server killed) leaves its entry behind, and
once eight are left no new server starts ("Too many servers already active"). Run before starting a
private server; entries of live processes are left as they are.
"""
import os
import struct
import sys

REGISTRY = "/dev/shm/jack-shm-registry"
MAGIC = 0x4A41434B  # "JACK"
HEADER = struct.Struct("<IHhiiii")  # magic, protocol, padding, type, size, header size, entry size
SERVERS = 8


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def main():
    try:
        registry = open(REGISTRY, "r+b")
    except FileNotFoundError:
        return 0
    except PermissionError:
        print(f"Cannot clear dead JACK servers from {REGISTRY}: permission denied.", file=sys.stderr)
        return 1
    with registry:
        data = bytearray(registry.read())
        if len(data) < HEADER.size:
            return 0
        magic, _, _, _, _, header_size, _ = HEADER.unpack_from(data, 0)
        stride = (header_size - HEADER.size) // SERVERS
        if magic != MAGIC or stride < 8 or HEADER.size + SERVERS * stride > len(data):
            print(f"{REGISTRY} is not a JACK registry this script knows; left alone.", file=sys.stderr)
            return 0
        cleared = []
        for index in range(SERVERS):
            offset = HEADER.size + index * stride
            (pid,) = struct.unpack_from("<i", data, offset)
            if pid > 0 and not alive(pid):
                name = bytes(data[offset + 4 : offset + stride]).split(b"\0")[0].decode(errors="replace")
                cleared.append(name or str(pid))
                registry.seek(offset)
                registry.write(bytes(stride))
        if cleared:
            print("Cleared dead JACK servers from the registry: " + ", ".join(cleared))
    return 0


if __name__ == "__main__":
    sys.exit(main())
