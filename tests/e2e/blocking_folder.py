#!/usr/bin/python3
"""A folder (FUSE) showing the files of a source folder, whose reads of some
files never answer or answer slowly, as a network share that went to sleep.

  blocking_folder.py SOURCE MOUNTPOINT [--hang NAME]... [--slow NAME=SECONDS]...

Listing, file sizes and opening answer at once; a read of a file named by
--hang blocks until the folder is unmounted; each read of a --slow file
waits SECONDS first. Runs in the foreground until unmounted.
"""
import argparse
import errno
import os
import threading
import time

from fusepy import FUSE, FuseOSError, Operations  # Debian python3-fusepy


class BlockingFolder(Operations):
    def __init__(self, source, hang, slow):
        self.source = source
        self.hang = set(hang)
        self.slow = slow
        self.never = threading.Event()  # set by nothing: a hung read waits for the unmount

    def _path(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._path(path))
        except OSError as e:
            raise FuseOSError(e.errno)
        return {k: getattr(st, k) for k in ("st_mode", "st_size", "st_mtime", "st_atime", "st_ctime", "st_nlink",
                                            "st_uid", "st_gid")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._path(path))

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise FuseOSError(errno.EROFS)
        return os.open(self._path(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        name = os.path.basename(path)
        if name in self.hang:
            while True:
                self.never.wait(3600)
        if name in self.slow:
            time.sleep(self.slow[name])
        os.lseek(fh, offset, os.SEEK_SET)
        return os.read(fh, size)

    def release(self, path, fh):
        os.close(fh)
        return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("source")
    parser.add_argument("mountpoint")
    parser.add_argument("--hang", action="append", default=[])
    parser.add_argument("--slow", action="append", default=[])
    args = parser.parse_args()
    slow = {}
    for item in args.slow:
        name, seconds = item.rsplit("=", 1)
        slow[name] = float(seconds)
    # direct_io: every read reaches us (no page cache answering for a file read before).
    FUSE(BlockingFolder(os.path.abspath(args.source), args.hang, slow), args.mountpoint, foreground=True,
         nothreads=False, ro=True, direct_io=True)


if __name__ == "__main__":
    main()
