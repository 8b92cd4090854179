#!/usr/bin/python3
"""keloftpsync-run end to end: a program folder with the companion, a real pyftpdlib server and
the hostile fake server on loopback, the local trees and the log after each run, the budget,
and that no byte outside the local folders changes."""
import datetime
import hashlib
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BIN = os.environ["KB_BIN_DIR"]
SRC = os.environ["KB_SOURCE_DIR"]
SERVERS = os.path.join(SRC, "tests", "syncclient", "ftp_test_servers.py")
STAMP = re.compile(r"^\[\d{4}\.\d\d\.\d\d\. \d\d:\d\d:\d\d\] ")
DASH = "-" * 74


def start(args, tmp, name):
    portfile = os.path.join(tmp, name + ".port")
    proc = subprocess.Popen(["/usr/bin/python3", SERVERS] + [a.replace("@PORTFILE@", portfile) for a in args])
    for _ in range(750):
        if os.path.exists(portfile):
            return proc, int(open(portfile).read())
        if proc.poll() is not None:
            break
        time.sleep(0.02)
    raise SystemExit("server %s did not start" % name)


def stop(proc):
    proc.send_signal(signal.SIGTERM)
    proc.wait(10)


def snapshot(root, skip):
    out = {}
    for d, dirs, files in os.walk(root):
        rel = os.path.relpath(d, root)
        if any(rel == s or rel.startswith(s + os.sep) for s in skip):
            continue
        for f in files:
            p = os.path.join(d, f)
            st = os.lstat(p)
            out[os.path.relpath(p, root)] = (hashlib.sha256(open(p, "rb").read()).hexdigest(), st.st_mtime_ns)
    return out


def run(prog, *args):
    r = subprocess.run([os.path.join(prog, "keloftpsync-run")] + list(args), capture_output=True, text=True, timeout=120,
                       env=dict(os.environ, LC_ALL="C.UTF-8"))
    return r.returncode, r.stdout.splitlines(), r.stderr


def log_lines(prog):
    name = datetime.date.today().strftime("%Y%m%d") + ".log"
    data = open(os.path.join(prog, "FtpSync", name), "rb").read()
    assert data.endswith(b"\r\n"), data[-10:]
    return data.decode("cp1250").split("\r\n")[:-1]


def bare(lines):
    return [STAMP.sub("", l) for l in lines]


def check(cond, what):
    if not cond:
        raise AssertionError(what)


def main():
    tmp = tempfile.mkdtemp(prefix="kbsyncrun-")
    procs = []
    try:
        prog = os.path.join(tmp, "prog")
        os.makedirs(prog)
        shutil.copy2(os.path.join(BIN, "keloftpsync-run"), prog)
        for d in ("Data", "Shop", "Big"):
            os.makedirs(os.path.join(prog, d))
        with open(os.path.join(tmp, "outside.txt"), "w") as f:
            f.write("next to the program folder")
        with open(os.path.join(prog, "Data", "stale.txt"), "w") as f:
            f.write("the server no longer has it")
        with open(os.path.join(prog, "Data", "notes.doc"), "w") as f:
            f.write("other mask: kept")
        with open(os.path.join(prog, "Shop", "keep.dat"), "w") as f:
            f.write("listing has an odd line: nothing is deleted here")

        remote = os.path.join(tmp, "remote")
        os.makedirs(os.path.join(remote, "pub"))
        os.makedirs(os.path.join(remote, "big"))
        for name, data in (("a.txt", b"alpha"), ("b.txt", b"bravo" * 300), ("c.doc", b"not mine")):
            with open(os.path.join(remote, "pub", name), "wb") as f:
                f.write(data)
        for i in (1, 2, 3):
            with open(os.path.join(remote, "big", "big%d.bin" % i), "wb") as f:
                f.write(bytes([48 + i]) * 60 * 1024)

        script = {"user": "u", "password": "p", "folders": {"/shop": {
            "listing": ["-rw-r--r--   1 ftp ftp 4 Mar  1  2026 ../escape.txt",
                        "-rw-r--r--   1 ftp ftp 4 Mar  1  2026 sub\\evil.txt",
                        "-rw-r--r--   1 ftp ftp 5000 Mar  1  2026 cut.dat",
                        "02-14-26  03:04PM                 4 good.dat",
                        "some line no parser reads"],
            "files": {"../escape.txt": {"data": "evil"}, "sub\\evil.txt": {"data": "evil"},
                      "cut.dat": {"size": 5000, "cut": 100}, "good.dat": {"data": "good"}}}}}
        script_path = os.path.join(tmp, "script.json")
        with open(script_path, "w") as f:
            json.dump(script, f)

        real, real_port = start(["pyftpd", remote, "u", "p", "@PORTFILE@"], tmp, "real")
        procs.append(real)
        fake, fake_port = start(["fake", script_path, "@PORTFILE@", os.path.join(tmp, "commands.log")], tmp, "fake")
        procs.append(fake)

        pw = subprocess.run([os.path.join(BIN, "kelobolt-admin"), "encrypt", "--key", "sync", "p"], capture_output=True,
                            text=True, check=True).stdout.strip()
        check(re.fullmatch(r"[0-9A-F]{2}", pw), "stored password " + pw)
        ini = ("[Desktop]\r\nRefreshSec=0\r\n"
               "[FTPITEM1]\r\nServer=127.0.0.1\r\nUser=u\r\nPassword=%(pw)s\r\nPort=%(real)d\r\nPassive=1\r\nActive=1\r\n"
               "DirCount=1\r\nFileMask1=*.txt\r\nActive1=1\r\nFtpDir1=/pub\r\nLocalDir1=..Data\r\n"
               "[FTPITEM2]\r\nServer=127.0.0.1\r\nUser=u\r\nPassword=%(pw)s\r\nPort=%(fake)d\r\nPassive=1\r\nActive=1\r\n"
               "DirCount=1\r\nFileMask1=*\r\nActive1=1\r\nFtpDir1=/shop\r\nLocalDir1=..Shop\r\n"
               "[FTPITEM3]\r\nServer=127.0.0.1\r\nUser=u\r\nPassword=%(pw)s\r\nPort=%(real)d\r\nActive=1\r\n"
               "MaxSizeInKBytes=100\r\nDirCount=1\r\nFileMask1=*.bin\r\nActive1=1\r\nFtpDir1=big\r\nLocalDir1=..Big\r\n"
               "[FTPITEM4]\r\nServer=127.0.0.1\r\nUser=nobody\r\nPort=%(real)d\r\nActive=0\r\n") % {
                   "pw": pw, "real": real_port, "fake": fake_port}
        with open(os.path.join(prog, "KeloFtpSync.ini"), "w", newline="") as f:
            f.write(ini)
        skip = ["prog/Data", "prog/Shop", "prog/Big", "prog/FtpSync"]
        before = snapshot(tmp, skip + ["remote"])

        # First run: every active item once, in order.
        rc, out, err = run(prog)
        check(rc == 0, "exit %d %s" % (rc, err))
        log = log_lines(prog)
        check(out == log, "stdout is the log:\n%s\n---\n%s" % (out, log))
        check(all(STAMP.match(l) for l in log if l not in (DASH, " ")), log)
        data = os.path.join(prog, "Data")
        expected = [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", "Files: 3"]
        got = bare(log)
        check(got[:4] == expected, got)
        check(sorted(got[4:6]) == sorted([os.path.join(data, "a.txt"), os.path.join(data, "b.txt")]), got)
        check(got[6:8] == [os.path.join(data, "stale.txt"), " "], got)
        shop = os.path.join(prog, "Shop")
        check(got[8:14] == [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", "Files: 1",
                            os.path.join(shop, "good.dat"), " "], got)
        big = os.path.join(prog, "Big")
        check(got[14:18] == [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", "Files: 2"], got)
        check(got[20] == " " and len(got) == 21, got)

        check(sorted(os.listdir(data)) == ["a.txt", "b.txt", "notes.doc"], os.listdir(data))
        check(open(os.path.join(data, "b.txt"), "rb").read() == b"bravo" * 300, "b.txt content")
        check(sorted(os.listdir(shop)) == ["good.dat", "keep.dat"], os.listdir(shop))
        check(len(os.listdir(big)) == 2, os.listdir(big))
        commands = open(os.path.join(tmp, "commands.log"), "rb").read().split(b"\n")
        check(not any(c.startswith(b"RETR ../") or c.startswith(b"RETR sub") for c in commands), commands)

        # Second run, the configuration named by path: only the third big file is left.
        rc, out, err = run(prog, os.path.join(prog, "KeloFtpSync.ini"))
        check(rc == 0, err)
        got = bare(log_lines(prog))[21:]
        check(got[:4] == [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", " "], got)
        check(got[4:8] == [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", " "], got)  # cut.dat fails again
        check(got[8:12] == [DASH, "Connect to FTP (server: 127.0.0.1 user: u)", "OK", "Files: 1"], got)
        for i in (1, 2, 3):
            check(open(os.path.join(big, "big%d.bin" % i), "rb").read() == bytes([48 + i]) * 60 * 1024, "big%d" % i)

        # A password that cannot be deciphered: exit 1, the reason in the log; nothing else runs.
        with open(os.path.join(prog, "Bad.ini"), "w", newline="") as f:
            f.write("[FTPITEM1]\r\nServer=127.0.0.1\r\nPassword=nothex\r\nActive=1\r\n")
        rc, out, err = run(prog, "Bad.ini")
        check(rc == 1, "bad password exit %d" % rc)
        check(len(out) == 1 and "Beállítási hiba" in out[0] and "[FTPITEM1]" in out[0], out)
        check(log_lines(prog)[-1] == out[0], "logged too")

        rc, out, err = run(prog, "Missing.ini")
        check(rc == 1 and "nem található" in err, (rc, err))
        rc, out, err = run(prog, "a", "b")
        check(rc == 1, rc)

        after = snapshot(tmp, skip + ["remote"])
        after.pop(os.path.join("prog", "Bad.ini"))
        for name in ("real.port", "fake.port", "commands.log"):
            after.pop(name, None)
            before.pop(name, None)
        check(after == before, "outside the local folders: %s" % (set(after.items()) ^ set(before.items())))
        print("keloftpsync-run: all checks passed")
    finally:
        for p in procs:
            stop(p)
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
