"""KeloBolt start-up as a user meets it: real program copies in a temporary program folder,
started from another working directory, on a private X server (Xvfb)."""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BIN = os.environ.get("KB_BIN_DIR", "build/bin")
FOLDERS = ["Data", "Data/Tetel", "Data/Tetel/Arhiv", "Data/Pic", "Ftp/Send", "Data/Sync", "ArchivData"]
LINE = re.compile(rb"^\[\d{4}\.\d{2}\.\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\] start \r\n$")


def wait_for(cond, timeout=60.0, what="condition"):
    end = time.time() + timeout
    while time.time() < end:
        value = cond()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def start_lines(prog):
    try:
        with open(os.path.join(prog, "Data", "debug.txt"), "rb") as f:
            data = f.read()
    except FileNotFoundError:
        return []
    return [l for l in data.splitlines(keepends=True) if l.endswith(b" start \r\n")]


MEGFEJ = [("BIZSORSZAM", "C", 20, 0), ("EV", "N", 4, 0), ("SORSZAM", "N", 10, 0), ("UGYFELKOD", "C", 20, 0),
          ("UGYFELNEV", "C", 50, 0), ("IRSZAM", "C", 10, 0), ("VAROS", "C", 50, 0), ("UTCA", "C", 50, 0),
          ("BOLTKOD", "C", 20, 0), ("UGYNOKKOD", "C", 20, 0), ("MEGJ1", "C", 128, 0), ("MEGJ2", "C", 128, 0),
          ("KELT", "D", 8, 0), ("IDO", "C", 5, 0), ("SZALLHAT", "D", 8, 0), ("NETTO", "N", 18, 2),
          ("BRUTTO", "N", 18, 2), ("STATE", "N", 4, 0), ("SRCKOD", "C", 20, 0), ("SRCNEV", "C", 50, 0),
          ("ELKULDVE", "D", 8, 0), ("JELOL", "L", 1, 0)]
SORSZAM = [("ID", "C", 50, 0), ("SORSZAM", "N", 10, 0)]


def check_order_tables(prog):
    """The order tables as start-up creates them, read by an independent reader."""
    import dbfread
    for name, layout in (("megfej.dbf", MEGFEJ), ("arhivmegfej.dbf", MEGFEJ), ("sorszam.dbf", SORSZAM)):
        table = dbfread.DBF(os.path.join(prog, "Data", name), load=True)
        got = [(f.name, f.type, f.length, f.decimal_count) for f in table.fields]
        assert got == layout, (name, got)
        assert len(table.records) == 0, name


def windows(env, name):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name], env=env,
                       capture_output=True, text=True)
    return r.stdout.split()


def main():
    tmp = tempfile.mkdtemp(prefix="kbstart-")
    prog = os.path.join(tmp, "prog")
    elsewhere = os.path.join(tmp, "elsewhere")
    runtime = os.path.join(tmp, "runtime")
    for d in (prog, elsewhere, runtime):
        os.makedirs(d)
    os.chmod(runtime, 0o700)
    exe = os.path.join(prog, "KeloBolt")
    shutil.copy2(os.path.join(BIN, "KeloBolt"), exe)

    rfd, wfd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(wfd), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(wfd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(wfd)
    display = os.read(rfd, 64).decode().strip()
    env = dict(os.environ, DISPLAY=":" + display, XDG_RUNTIME_DIR=runtime)
    env.pop("QT_QPA_PLATFORM", None)
    procs = []

    def launch():
        p = subprocess.Popen([exe], cwd=elsewhere, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(p)
        return p

    try:
        # First copy: folder tree and the debug-log line, all under the program folder.
        first = launch()
        wait_for(lambda: start_lines(prog), what="the start line")
        for f in FOLDERS:
            assert os.path.isdir(os.path.join(prog, f)), f
        assert os.listdir(elsewhere) == [], os.listdir(elsewhere)
        lines = start_lines(prog)
        assert len(lines) == 1 and LINE.match(lines[0]), lines
        wait_for(lambda: windows(env, "ver\\.1120"), what="the main window")
        check_order_tables(prog)

        # Second copy: the standard error box, no window of its own, the first untouched.
        second = launch()
        box = wait_for(lambda: windows(env, "^Error$"), what="the error box")[0]
        assert len(windows(env, "ver\\.1120")) == 1
        subprocess.run(["xdotool", "windowfocus", "--sync", box, "key", "Return"], env=env, check=True)
        assert second.wait(timeout=20) == 0
        assert first.poll() is None, "the first copy must keep running"
        assert len(start_lines(prog)) == 1

        # A first copy killed outright leaves no lock behind; a deleted Data folder comes back.
        first.send_signal(signal.SIGKILL)
        first.wait()
        shutil.rmtree(os.path.join(prog, "Data"))
        third = launch()
        wait_for(lambda: start_lines(prog), what="the start line after SIGKILL")
        for f in FOLDERS:
            assert os.path.isdir(os.path.join(prog, f)), f
        assert len(start_lines(prog)) == 1
        third.terminate()
        third.wait(timeout=20)

        # AutoProgramSync on: without "/vavodedere" the updater takes over.
        upd = os.path.join(tmp, "upd")
        os.makedirs(upd)
        uexe = os.path.join(upd, "KeloBolt")
        shutil.copy2(os.path.join(BIN, "KeloBolt"), uexe)
        subprocess.run([os.path.join(BIN, "kelobolt-admin"), "set-setting", "--dir", upd, "AutoProgramSync", "1"],
                       check=True, stdout=subprocess.DEVNULL)
        missing = subprocess.Popen([uexe], cwd=elsewhere, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(missing)
        box = wait_for(lambda: windows(env, "^Friss"), what="the missing-updater message")[0]
        assert not windows(env, "ver\\.1120")
        subprocess.run(["xdotool", "windowfocus", "--sync", box, "key", "Return"], env=env, check=True)
        assert missing.wait(timeout=20) == 0
        assert not os.path.exists(os.path.join(upd, "Data")), "the data module must never be created"

        record = os.path.join(tmp, "updater-args")
        with open(os.path.join(upd, "VavOdedere"), "w") as f:
            f.write("#!/bin/sh\necho \"$@\" > '%s'\n" % record)
        os.chmod(os.path.join(upd, "VavOdedere"), 0o755)
        handed = subprocess.run([uexe], cwd=elsewhere, env=env, timeout=30,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        assert handed.returncode == 0
        wait_for(lambda: os.path.exists(record), what="the updater's start")
        with open(record) as f:
            assert f.read().strip() == "/M=AUTO /E={cmd}"
        with open(os.path.join(upd, "VavOdedere.cmd"), "rb") as f:
            assert f.read() == uexe.encode() + b"\r\n/vavodedere\r\n"
        assert not os.path.exists(os.path.join(upd, "Data"))

        # The switch, in any case and inside a longer argument, starts the program normally.
        normal = subprocess.Popen([uexe, "x/VavOdedere"], cwd=elsewhere, env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        procs.append(normal)
        wait_for(lambda: start_lines(upd), what="the start line with /vavodedere")
        normal.terminate()
        normal.wait(timeout=20)
    finally:
        for p in procs:
            if p.poll() is None:
                p.kill()
                p.wait()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(tmp, ignore_errors=True)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    try:
        main()
    except AssertionError as e:
        print("FAILED:", e)
        print("0 passed, 1 failed")
        sys.exit(1)
