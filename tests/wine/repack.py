"""Moving a package's payload from one stub to another.

The packer takes 32-bit stubs only; the 64-bit stub that runs under 64-bit Wine gets the
payload of a package made with the 32-bit stub. Both stubs carry the same 4-byte LASTRES
placeholder at the end of their resources; a package is its stub cut at that placeholder,
then the payload: a 32-byte name, a 16-bit base and 16-byte entries whose first field is the
absolute file offset of the entry's body, up to an entry of stored size 0.
"""

import struct

PLACEHOLDER = b"PLR!"
HEADER_SIZE = 34
ENTRY_SIZE = 16


def placeholder_offset(stub):
    at = stub.find(PLACEHOLDER)
    if at < 0 or stub.find(PLACEHOLDER, at + 1) >= 0:
        raise ValueError("the stub has no single LASTRES placeholder")
    return at


def move_payload(package, from_stub, to_stub):
    """The package rebuilt on to_stub, every body offset shifted by the difference."""
    old_start = placeholder_offset(from_stub)
    new_start = placeholder_offset(to_stub)
    if package[:old_start] != from_stub[:old_start]:
        raise ValueError("the package was not made with this stub")
    payload = bytearray(package[old_start:])
    at = HEADER_SIZE
    while at + ENTRY_SIZE <= len(payload):
        offset, stored = struct.unpack_from("<II", payload, at)
        if stored == 0:
            break
        struct.pack_into("<I", payload, at, offset - old_start + new_start)
        at += ENTRY_SIZE
    moved = to_stub[:new_start] + bytes(payload)
    # The loader refuses an image whose sections run past the end of the file.
    return moved + bytes(max(0, len(to_stub) - len(moved)))
