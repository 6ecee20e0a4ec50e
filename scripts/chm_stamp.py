#!/usr/bin/env python3
"""Sets the two time stamps chmcmd writes into a compiled help file to a
given time, so that one source gives the same bytes on every build:

    scripts/chm_stamp.py FILE.chm EPOCH

chmcmd stamps the file header (milliseconds of the day, big-endian) and the
#SYSTEM file's entry 10 (the same, little-endian) with the clock and has no
way to be told another time. Both lie in the uncompressed part of the file;
they become the milliseconds of the day of EPOCH (UTC). The file is written
through a temporary file that replaces it, and left as it was on any error.
"""
import os
import struct
import sys
import tempfile

HEADER_STAMP = 0x10
SYSTEM_NAME = b"/#SYSTEM"
SYSTEM_STAMP_CODE = 10


class ChmError(Exception):
    pass


def _encint(data, pos):
    """A CHM directory's variable-length number: 7 bits a byte, high bit = more."""
    value = 0
    for _ in range(9):
        if pos >= len(data):
            raise ChmError("directory entry runs past the end")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, pos
    raise ChmError("directory number too long")


def _u32(data, pos):
    if pos + 4 > len(data):
        raise ChmError("truncated at byte %d" % pos)
    return struct.unpack_from("<I", data, pos)[0]


def _u64(data, pos):
    if pos + 8 > len(data):
        raise ChmError("truncated at byte %d" % pos)
    return struct.unpack_from("<Q", data, pos)[0]


def system_offset(data):
    """The file offset of /#SYSTEM (section 0, uncompressed), from the directory."""
    if data[:4] != b"ITSF" or _u32(data, 4) != 3:
        raise ChmError("not a version 3 compiled help file")
    directory = _u64(data, 0x48)
    content = _u64(data, 0x58)
    if data[directory:directory + 4] != b"ITSP":
        raise ChmError("no directory header")
    header_length = _u32(data, directory + 8)
    chunk_size = _u32(data, directory + 0x10)
    chunks = _u32(data, directory + 0x2C)
    if not 32 <= chunk_size <= 1 << 16 or chunks > len(data) // chunk_size:
        raise ChmError("implausible directory (%d chunks of %d bytes)" % (chunks, chunk_size))
    first = directory + header_length
    for index in range(chunks):
        chunk = first + index * chunk_size
        if chunk + chunk_size > len(data):
            raise ChmError("directory chunk %d runs past the end" % index)
        if data[chunk:chunk + 4] != b"PMGL":
            continue
        end = chunk + chunk_size - _u32(data, chunk + 4)
        pos = chunk + 20
        while pos < end:
            length, pos = _encint(data, pos)
            name = data[pos:pos + length]
            pos += length
            section, pos = _encint(data, pos)
            offset, pos = _encint(data, pos)
            size, pos = _encint(data, pos)
            if name == SYSTEM_NAME:
                if section != 0 or content + offset + size > len(data):
                    raise ChmError("#SYSTEM is not where it should be")
                return content + offset, size
    raise ChmError("no #SYSTEM in the directory")


def restamp(data, epoch):
    """The file's bytes with both stamps set to the milliseconds of the day of EPOCH."""
    stamp = (epoch % 86400) * 1000
    out = bytearray(data)
    if len(out) < HEADER_STAMP + 4:
        raise ChmError("truncated header")
    struct.pack_into(">I", out, HEADER_STAMP, stamp)
    start, size = system_offset(data)
    pos, end = start + 4, start + size  # after the #SYSTEM version
    while pos + 4 <= end:
        code, length = struct.unpack_from("<HH", data, pos)
        if code == SYSTEM_STAMP_CODE:
            if length != 4 or pos + 8 > end:
                raise ChmError("#SYSTEM entry 10 has %d bytes, not 4" % length)
            struct.pack_into("<I", out, pos + 4, stamp)
            return bytes(out)
        pos += 4 + length
    raise ChmError("#SYSTEM holds no time stamp entry")


def main(argv):
    if len(argv) != 3 or not argv[2].isdigit():
        print("usage: chm_stamp.py FILE.chm EPOCH", file=sys.stderr)
        return 2
    path, epoch = argv[1], int(argv[2])
    try:
        with open(path, "rb") as f:
            data = f.read()
        fixed = restamp(data, epoch)
    except (OSError, ChmError) as e:
        print("chm_stamp: %s: %s" % (path, e), file=sys.stderr)
        return 1
    folder = os.path.dirname(os.path.abspath(path))
    fd, temp = tempfile.mkstemp(dir=folder, prefix=".chm_stamp.")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(fixed)
        os.chmod(temp, os.stat(path).st_mode & 0o777)
        os.replace(temp, path)
    except OSError as e:
        os.unlink(temp)
        print("chm_stamp: %s: %s" % (path, e), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
