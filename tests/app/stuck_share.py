# A network share whose server stopped answering, as a FUSE file system: the
# mount point is an empty folder, and listing it blocks for as long as the
# gate file exists, at most LIMIT seconds (so a window that waits for it
# fails its test instead of hanging it). Each listing that starts appends a
# line to the log file.
#
#   /usr/bin/python3 stuck_share.py MOUNT_POINT GATE_FILE LOG_FILE LIMIT

import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class StuckShare(Operations):
    def __init__(self, gate, log, limit):
        self.gate = gate
        self.log = log
        self.limit = limit

    def getattr(self, path, fh=None):
        if path != '/':
            raise FuseOSError(errno.ENOENT)
        now = time.time()
        return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2,
                    st_mtime=now, st_ctime=now, st_atime=now)

    def opendir(self, path):
        with open(self.log, 'a') as log:
            log.write(path + '\n')
        return 0

    def readdir(self, path, fh):
        end = time.monotonic() + self.limit
        while os.path.exists(self.gate) and time.monotonic() < end:
            time.sleep(0.05)
        return ['.', '..']


if __name__ == '__main__':
    mount_point, gate, log, limit = sys.argv[1:5]
    FUSE(StuckShare(gate, log, float(limit)), mount_point, foreground=True)
