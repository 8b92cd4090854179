#!/usr/bin/python3
"""Mirror benchmark of the sync client against lftp, on the same tree on a loopback pyftpdlib.

  /usr/bin/python3 bench/syncclient/bench_syncclient.py BIN_DIR [FILES] [ROUNDS]

1,000 files (FILES) of 1-50 KB in one remote folder. Measures, for keloftpsync-run and for
`lftp -c "open -u U,P ftp://127.0.0.1:PORT; mirror --delete REMOTE LOCAL"`: the first mirror
into an empty folder and a rerun with nothing changed - wall time of the whole process and the
FTP commands the server received (counted by the server), also per file. Each round mirrors
into fresh folders, the two programs alternating; wall times are given as median and minimum.
"""
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SERVER = r'''
import sys, logging
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer
logging.basicConfig(level=logging.CRITICAL)
root, portfile, cmdfile = sys.argv[1:4]
auth = DummyAuthorizer()
auth.add_user("u", "p", root, perm="elr")
out = open(cmdfile, "a", buffering=1)
class H(FTPHandler):
    authorizer = auth
    def pre_process_command(self, line, cmd, arg):
        out.write(cmd + "\n")
        return FTPHandler.pre_process_command(self, line, cmd, arg)
s = FTPServer(("127.0.0.1", 0), H)
open(portfile + ".tmp", "w").write(str(s.address[1]))
import os; os.replace(portfile + ".tmp", portfile)
s.serve_forever(handle_exit=True)
'''


def commands(path, start):
    with open(path) as f:
        lines = f.read().split("\n")[:-1]
    return lines[start:], len(lines)


def timed(cmd):
    t = time.perf_counter()
    r = subprocess.run(cmd, capture_output=True, text=True)
    dt = time.perf_counter() - t
    if r.returncode != 0:
        raise SystemExit("%s failed: %s %s" % (cmd[0], r.stdout[-500:], r.stderr[-500:]))
    return dt, r.stdout


def same_tree(a, b):
    na, nb = sorted(os.listdir(a)), sorted(os.listdir(b))
    if na != nb:
        return False
    return all(open(os.path.join(a, n), "rb").read() == open(os.path.join(b, n), "rb").read() for n in na)


def main():
    bin_dir = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    tmp = tempfile.mkdtemp(prefix="kbsyncbench-")
    try:
        remote = os.path.join(tmp, "remote", "pub")
        os.makedirs(remote)
        rnd = random.Random(20261211)
        total = 0
        for i in range(count):
            size = rnd.randint(1024, 50 * 1024)
            total += size
            with open(os.path.join(remote, "file%04d.dat" % i), "wb") as f:
                f.write(rnd.randbytes(size))
        prog = os.path.join(tmp, "prog")
        ours = os.path.join(tmp, "ours")
        theirs = os.path.join(tmp, "lftp")
        os.makedirs(prog)
        os.makedirs(ours)
        os.makedirs(theirs)
        shutil.copy2(os.path.join(bin_dir, "keloftpsync-run"), prog)

        portfile = os.path.join(tmp, "port")
        cmdfile = os.path.join(tmp, "commands")
        open(cmdfile, "w").close()
        srv = subprocess.Popen(["/usr/bin/python3", "-c", SERVER, os.path.join(tmp, "remote"), portfile, cmdfile])
        while not os.path.exists(portfile):
            time.sleep(0.02)
        port = int(open(portfile).read())

        pw = subprocess.run([os.path.join(bin_dir, "kelobolt-admin"), "encrypt", "--key", "sync", "p"],
                            capture_output=True, text=True, check=True).stdout.strip()
        with open(os.path.join(prog, "KeloFtpSync.ini"), "w", newline="") as f:
            f.write("[FTPITEM1]\r\nServer=127.0.0.1\r\nUser=u\r\nPassword=%s\r\nPort=%d\r\nPassive=1\r\nActive=1\r\n"
                    "DirCount=1\r\nFileMask1=*\r\nActive1=1\r\nFtpDir1=/pub\r\nLocalDir1=%s\r\n" % (pw, port, ours))
        ours_cmd = [os.path.join(prog, "keloftpsync-run")]
        lftp_cmd = ["lftp", "-c", "open -u u,p ftp://127.0.0.1:%d; mirror --delete /pub %s" % (port, theirs)]

        rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
        times = {}
        counts = {}
        seen = 0
        for r in range(rounds):
            for d in (ours, theirs):
                shutil.rmtree(d)
                os.makedirs(d)
            for label, cmd in (("keloftpsync-run", ours_cmd), ("lftp mirror", lftp_cmd)):
                for phase in ("first mirror", "no-change rerun"):
                    dt, _ = timed(cmd)
                    cmds, seen = commands(cmdfile, seen)
                    lists = sum(1 for c in cmds if c in ("LIST", "MLSD", "NLST"))
                    per_file = sum(1 for c in cmds if c in ("RETR", "SIZE", "MDTM", "MLST"))
                    times.setdefault((label, phase), []).append(dt)
                    counts[(label, phase)] = (len(cmds), lists, per_file)
        srv.send_signal(signal.SIGTERM)
        srv.wait(10)

        print("%d files, %.1f MB, one remote folder, pyftpdlib on 127.0.0.1, passive mode, %d rounds" % (count, total / 1e6, rounds))
        print("%-16s %-16s %9s %9s %9s %10s %8s %15s" % ("program", "run", "median s", "min s", "commands", "cmd/file",
                                                            "listings", "RETR/SIZE/MDTM"))
        for key, dts in times.items():
            n, lists, per_file = counts[key]
            print("%-16s %-16s %9.3f %9.3f %9d %10.2f %8d %15d" % (key[0], key[1], statistics.median(dts), min(dts), n,
                                                                  n / count, lists, per_file))
        print("trees identical to the server's: ours %s, lftp %s" % (same_tree(remote, ours), same_tree(remote, theirs)))
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
