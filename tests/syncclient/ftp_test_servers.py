#!/usr/bin/python3
"""FTP servers on loopback for the sync client's tests.

  ftp_test_servers.py pyftpd ROOT USERS PASSWORD PORTFILE [--no-mlsd]
      Debian's pyftpdlib, read-only, every user of the comma-separated USERS with PASSWORD.
  ftp_test_servers.py fake SCRIPT.json PORTFILE COMMANDLOG
      A small scripted server for what a real server does not do: listings with odd lines and
      hostile names, data connections that close in the middle of a file. SCRIPT.json:
        {"user": "u", "password": "p", "login_dir": "/", "mlsd": false,
         "folders": {"/pub": {"listing": ["raw line", ...],
                              "files": {"name": {"data": "text", "size": N,
                                                 "cut": N, "reply": "226 ..."}}}}}
      "data" or "size" (bytes of "x") give a file's content; "cut" sends only that many bytes
      and closes the data connection, then answers "reply" (default 426). Every command
      received is appended to COMMANDLOG, one line each.

Both bind 127.0.0.1 on a free port, write it to PORTFILE and run until SIGTERM.
"""
import json
import os
import signal
import socket
import socketserver
import sys
import threading


def write_port(path, port):
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.replace(tmp, path)


def run_pyftpd(root, users, password, portfile, no_mlsd):
    import logging
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    logging.basicConfig(level=logging.CRITICAL)
    logging.getLogger("pyftpdlib").setLevel(logging.CRITICAL)
    auth = DummyAuthorizer()
    for user in users.split(","):
        auth.add_user(user, password, root, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = auth
    if no_mlsd:
        Handler.proto_cmds = {k: v for k, v in FTPHandler.proto_cmds.items() if k not in ("MLSD", "MLST")}
    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 64
    signal.signal(signal.SIGTERM, lambda *a: server.close_all() or sys.exit(0))
    write_port(portfile, server.address[1])
    server.serve_forever(handle_exit=True)


class FakeHandler(socketserver.StreamRequestHandler):
    script = {}
    command_log = None

    def reply(self, text):
        self.wfile.write((text + "\r\n").encode("latin-1"))
        self.wfile.flush()

    def log(self, line):
        with open(self.command_log, "ab") as f:
            f.write(line + b"\n")

    def open_passive(self):
        if self.pasv is not None:
            self.pasv.close()
        self.pasv = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.pasv.bind(("127.0.0.1", 0))
        self.pasv.listen(1)
        self.pasv.settimeout(10)
        return self.pasv.getsockname()[1]

    def send_data(self, payload, cut=None, final="226 Transfer complete."):
        if self.pasv is None:
            self.reply("425 Use PASV or EPSV first.")
            return
        self.reply("150 Opening data connection.")
        try:
            conn, _ = self.pasv.accept()
        except OSError:
            self.reply("425 Cannot open data connection.")
            return
        if cut is not None:
            conn.sendall(payload[:cut])
        else:
            conn.sendall(payload)
        conn.close()
        self.pasv.close()
        self.pasv = None
        self.reply(final)

    def folder(self, path):
        return self.script.get("folders", {}).get(path)

    def resolve(self, arg):
        if arg.startswith("/"):
            path = arg
        else:
            path = self.cwd.rstrip("/") + "/" + arg
        parts = []
        for p in path.split("/"):
            if p in ("", "."):
                continue
            if p == "..":
                if parts:
                    parts.pop()
                continue
            parts.append(p)
        return "/" + "/".join(parts)

    def handle(self):
        self.cwd = self.script.get("login_dir", "/")
        self.pasv = None
        self.reply("220 fake server ready")
        while True:
            raw = self.rfile.readline()
            if not raw:
                break
            raw = raw.rstrip(b"\r\n")
            self.log(raw)
            line = raw.decode("utf-8", "surrogateescape")
            cmd, _, arg = line.partition(" ")
            cmd = cmd.upper()
            if cmd == "USER":
                self.reply("331 Password required.")
            elif cmd == "PASS":
                if arg == self.script.get("password", "p"):
                    self.reply("230 Logged in.")
                else:
                    self.reply("530 Login incorrect.")
            elif cmd == "PWD":
                self.reply('257 "%s" is the current directory.' % self.cwd)
            elif cmd == "CWD":
                target = self.resolve(arg)
                if self.folder(target) is not None or target == "/":
                    self.cwd = target
                    self.reply("250 OK.")
                else:
                    self.reply("550 No such folder.")
            elif cmd == "CDUP":
                self.cwd = self.resolve("..")
                self.reply("250 OK.")
            elif cmd == "FEAT":
                self.reply("211-Features:")
                self.reply(" EPSV")
                if self.script.get("mlsd"):
                    self.reply(" MLST type*;size*;modify*;")
                self.reply("211 End")
            elif cmd in ("TYPE", "MODE", "STRU", "OPTS"):
                self.reply("200 OK.")
            elif cmd == "SYST":
                self.reply("215 UNIX Type: L8")
            elif cmd == "NOOP":
                self.reply("200 OK.")
            elif cmd == "EPSV":
                self.reply("229 Entering Extended Passive Mode (|||%d|)" % self.open_passive())
            elif cmd == "PASV":
                port = self.open_passive()
                self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)." % (port >> 8, port & 255))
            elif cmd in ("LIST", "NLST", "MLSD"):
                folder = self.folder(self.cwd)
                if folder is None:
                    self.reply("550 No such folder.")
                    continue
                lines = folder.get("listing", [])
                payload = b"".join(l.encode("utf-8", "surrogateescape") + b"\r\n" for l in lines)
                self.send_data(payload)
            elif cmd == "RETR":
                folder = self.folder(self.cwd) or {}
                spec = folder.get("files", {}).get(arg)
                if spec is None:
                    self.reply("550 No such file.")
                    continue
                if "data" in spec:
                    payload = spec["data"].encode("utf-8")
                else:
                    payload = b"x" * spec.get("size", 0)
                if "cut" in spec:
                    self.send_data(payload, cut=spec["cut"], final=spec.get("reply", "426 Connection closed; transfer aborted."))
                else:
                    self.send_data(payload)
            elif cmd == "SIZE":
                self.reply("550 Not available.")
            elif cmd == "QUIT":
                self.reply("221 Bye.")
                break
            else:
                self.reply("502 Command not implemented.")


def run_fake(script_path, portfile, command_log):
    with open(script_path, encoding="utf-8") as f:
        FakeHandler.script = json.load(f)
    FakeHandler.command_log = command_log
    open(command_log, "wb").close()
    socketserver.ThreadingTCPServer.allow_reuse_address = True
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), FakeHandler)
    server.daemon_threads = True
    signal.signal(signal.SIGTERM, lambda *a: sys.exit(0))
    write_port(portfile, server.server_address[1])
    server.serve_forever()


def main():
    mode = sys.argv[1]
    if mode == "pyftpd":
        run_pyftpd(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5], "--no-mlsd" in sys.argv[6:])
    elif mode == "fake":
        run_fake(sys.argv[2], sys.argv[3], sys.argv[4])
    else:
        sys.exit("unknown mode " + mode)


if __name__ == "__main__":
    main()
