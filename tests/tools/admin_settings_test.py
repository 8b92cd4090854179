#!/usr/bin/python3
"""kelobolt-admin's settings commands, checked from outside.

The stored forms are recomputed here with an independent Blowfish (pycryptodome's ECB
primitive) and the chaining mode of the settings files written out again in Python.
"""
import datetime
import os
import shutil
import subprocess
import tempfile
import unittest

from Cryptodome.Cipher import Blowfish

BIN = os.environ.get("KB_BIN_DIR", os.path.join(os.path.dirname(__file__), "../../build/bin"))
ADMIN = os.path.join(BIN, "kelobolt-admin")

KEYS = {
    "settings": b"HaZeLnUtFoReStGl_Plk246WSX819Vcd357",
    "ftp": b"VarmFtpzxc864MNB231POI975Lkj208",
    "sync": b"VttlLynIlax_y1X8e7D4h1S8x3C4a4",
}


def encipher(plain: bytes, key: bytes) -> bytes:
    bf = Blowfish.new(key, Blowfish.MODE_ECB)
    f = bf.encrypt(b"\xff" * 8)
    out = bytearray()
    whole = len(plain) // 8 * 8
    for pos in range(0, whole, 8):
        c = bf.encrypt(bytes(a ^ b for a, b in zip(plain[pos:pos + 8], f)))
        f = bytes(a ^ b for a, b in zip(c, f))
        out += c
    for p in plain[whole:]:
        c = p ^ bf.encrypt(f)[0]
        f = f[1:] + bytes([f[7] ^ c])
        out.append(c)
    return bytes(out)


def decipher(cipher: bytes, key: bytes) -> bytes:
    bf = Blowfish.new(key, Blowfish.MODE_ECB)
    f = bf.encrypt(b"\xff" * 8)
    out = bytearray()
    whole = len(cipher) // 8 * 8
    for pos in range(0, whole, 8):
        c = cipher[pos:pos + 8]
        out += bytes(a ^ b for a, b in zip(bf.decrypt(c), f))
        f = bytes(a ^ b for a, b in zip(c, f))
    for c in cipher[whole:]:
        k = bf.encrypt(f)[0]
        f = f[1:] + bytes([f[7] ^ c])
        out.append(c ^ k)
    return bytes(out)


def stored_form(value: str, key: str) -> str:
    return encipher(value.encode("cp1250"), KEYS[key]).hex().upper()


def admin(*args):
    p = subprocess.run([ADMIN, *args], capture_output=True, timeout=30)
    return p.returncode, p.stdout.decode("utf-8"), p.stderr.decode("utf-8")


VALUES = [
    "", "a", "1_UseMinRend", "0_UseBoltKod", "abcdefg", "abcdefgh", "abcdefghi", "12345678abc",
    "Árvíztűrő tükörfúrógép", "ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP", "őű", "Jelszó=titok;[x]", "x" * 16, "y" * 17,
    "Kőbányai Élelmiszer Kft. " * 3,
]


class CipherCommands(unittest.TestCase):
    def test_python_chaining_matches_itself(self):
        # Keeps the reference honest: its two directions invert each other at every length.
        for key in KEYS.values():
            for n in range(0, 40):
                plain = bytes((7 * i + n) % 256 for i in range(n))
                self.assertEqual(decipher(encipher(plain, key), key), plain)

    def test_encrypt_matches_independent_cipher(self):
        for key in KEYS:
            for value in VALUES:
                rc, out, err = admin("encrypt", "--key", key, value)
                self.assertEqual((rc, err), (0, ""), value)
                self.assertEqual(out, stored_form(value, key) + "\n", (key, value))

    def test_decrypt_reads_independent_stored_forms(self):
        for key in KEYS:
            for value in VALUES:
                stored = stored_form(value, key)
                for text in (stored, stored.lower(), stored + "c", stored.lower() + "F"):
                    rc, out, err = admin("decrypt", "--key", key, text)
                    self.assertEqual((rc, out, err), (0, value + "\n", ""), (key, text))

    def test_bad_input_is_refused_plainly(self):
        good = stored_form("titok", "ftp")
        for args in (
            ["decrypt", "--key", "ftp", good + "G"],
            ["decrypt", "--key", "ftp", "$" + good],
            ["decrypt", "--key", "ftp", good[:4] + " " + good[4:]],
            ["decrypt", "--key", "titkos", good],
            ["decrypt", good],
            ["encrypt", "--key", "ftp"],
            ["encrypt", "--key"],
        ):
            rc, out, err = admin(*args)
            self.assertEqual(rc, 1, args)
            self.assertEqual(out, "", args)
            self.assertTrue(err.strip(), args)
            self.assertNotIn("Traceback", err)


SOURCE = os.environ.get("KB_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "../.."))
INI = "KeloBoltiRendelo.ini"


def settings_bytes(lines):
    return "".join(line + "\r\n" for line in lines).encode("cp1250")


def show(folder):
    rc, out, err = admin("show-settings", "--dir", folder)
    assert rc == 0, err
    pairs = [line.split("=", 1) for line in out.splitlines()]
    return dict(pairs), [k for k, _ in pairs]


class SettingsCommands(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="kb-admin-")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def write(self, lines, name=INI):
        with open(os.path.join(self.dir, name), "wb") as f:
            f.write(settings_bytes(lines))

    def read_bytes(self, name=INI):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def test_show_settings_of_missing_file_is_the_defaults_in_record_order(self):
        values, order = show(self.dir)
        self.assertEqual(order, [
            "RendeloID", "DefBoltKod", "DefUgynokKod", "UseUgyfelKod", "UseUgynokKod", "CheckKarton", "CheckKeszlet",
            "UseMinRend", "ArhivNap", "KotelezoUgyfelkod", "AutoDataSync", "DefState", "PicWidth", "TermekTipus",
            "AutoProgramSync", "UseKartonAr", "Server", "User", "Password", "Port", "Passive", "Active",
            "IniFilePath", "IniFileName"])
        self.assertEqual((values["CheckKeszlet"], values["ArhivNap"], values["DefState"], values["PicWidth"],
                          values["UseKartonAr"], values["Port"], values["RendeloID"]),
                         ("1", "60", "-1", "220", "1", "21", ""))
        self.assertFalse(os.path.exists(os.path.join(self.dir, INI)))

    def test_show_settings_of_hand_written_files(self):
        min_rend = stored_form("1_UseMinRend", "settings")
        karton = stored_form("2_CheckKarton", "settings")
        cases = [
            ("values under their own keys",
             ["[Main]", "RendeloID=" + stored_form("Bolt-ő1", "settings").lower(), "DefBoltKod=" + stored_form("Kőbánya", "settings"),
              "UseUgyfelKod=" + stored_form("1_UseBoltKod", "settings"), "CheckKarton=" + karton, "ArhivNap = 30",
              "[User]", "DefState=2", "TermekTipus=3", "[FTPSync]", "Password=" + stored_form("Jelszó+Ű", "ftp"), "Passive=1"],
             {"RendeloID": "Bolt-ő1", "DefBoltKod": "Kőbánya", "UseUgyfelKod": "1", "CheckKarton": "2", "ArhivNap": "30",
              "DefState": "2", "TermekTipus": "3", "Password": "Jelszó+Ű", "Passive": "1", "CheckKeszlet": "1"}),
            ("foreign values copied by hand",
             ["[Main]", "KotelezoUgyfelkod=" + min_rend, "CheckKeszlet=" + karton, "UseKartonAr=" + stored_form("0_UseMinRend", "settings")],
             {"KotelezoUgyfelkod": "1", "CheckKeszlet": "0", "UseKartonAr": "0", "CheckKarton": "0"}),
            ("present but empty", ["[Main]", "CheckKeszlet=", "UseKartonAr=", "RendeloID=", "ArhivNap="],
             {"CheckKeszlet": "0", "UseKartonAr": "1", "RendeloID": "", "ArhivNap": "60"}),
            ("not cipher text", ["[MAIN]", "rendeloid=Z1", "UseMinRend=XYZ", "CheckKarton=$12", "[user]", "picwidth=széles"],
             {"RendeloID": "", "UseMinRend": "0", "CheckKarton": "0", "PicWidth": "220"}),
            ("long FTP texts", ["[FTPSync]", "Server=" + "s" * 200, "User=" + "ü" * 129, "Password=" + stored_form("p" * 150, "ftp"),
                                "IniFileName=" + "n" * 150],
             {"Server": "s" * 128, "User": "ü" * 128, "Password": "p" * 128, "IniFileName": "n" * 150}),
        ]
        for name, lines, expected in cases:
            with self.subTest(name):
                self.write(lines)
                values, _ = show(self.dir)
                for key, value in expected.items():
                    self.assertEqual(values[key], value, key)

    def test_set_setting_touches_one_line(self):
        fixture = os.path.join(SOURCE, "tests/fixtures/settings-hand-edited.ini")
        target = os.path.join(self.dir, INI)
        shutil.copy(fixture, target)
        before = self.read_bytes().split(b"\r\n")

        rc, out, err = admin("set-setting", "--dir", self.dir, "rendeloid", "Ő42")
        self.assertEqual((rc, err), (0, ""))
        after = self.read_bytes().split(b"\r\n")
        self.assertEqual(len(after), len(before))
        changed = [(b, a) for b, a in zip(before, after) if b != a]
        self.assertEqual(changed, [(b"RendeloID = 3561FFB0", ("RendeloID=" + stored_form("Ő42", "settings")).encode("cp1250"))])

        # A key the file lacks goes at the end of its section; a plain one is written plainly.
        rc, out, err = admin("set-setting", "--dir", self.dir, "PicWidth", "300")
        self.assertEqual(rc, 0, err)
        rc, out, err = admin("set-setting", "--dir", self.dir, "UseUgynokKod", "igen")
        self.assertEqual(rc, 0, err)
        lines = self.read_bytes().decode("cp1250").split("\r\n")
        self.assertIn("PicWidth=300", lines)
        self.assertIn("\tPicWidth = abc", [l.decode("cp1250") for l in before])
        self.assertNotIn("\tPicWidth = abc", lines)
        self.assertEqual(lines[lines.index("VanEgyenlo=a=b=c") + 1], "UseUgynokKod=" + stored_form("1_UseUgynokKod", "settings"))
        values, _ = show(self.dir)
        self.assertEqual((values["RendeloID"], values["PicWidth"], values["UseUgynokKod"], values["CheckKeszlet"]),
                         ("Ő42", "300", "1", "0"))

        # Refused values leave the file alone.
        now = self.read_bytes()
        for args in (["CheckKarton", "5"], ["UseMinRend", "talán"], ["ArhivNap", "12x"], ["Nincs", "1"],
                     ["Server", "s" * 129], ["RendeloID"]):
            rc, out, err = admin("set-setting", "--dir", self.dir, *args)
            self.assertEqual(rc, 1, args)
            self.assertTrue(err.strip(), args)
            self.assertEqual(self.read_bytes(), now, args)

    def test_set_setting_creates_a_missing_file(self):
        rc, out, err = admin("set-setting", "--dir", self.dir, "RendeloID", "AB12")
        self.assertEqual(rc, 0, err)
        self.assertEqual(self.read_bytes(), settings_bytes(["[Main]", "RendeloID=" + stored_form("AB12", "settings")]))
        rc, out, err = admin("show-settings", "--dir", os.path.join(self.dir, "nincs"))
        self.assertEqual(rc, 1)
        self.assertTrue(err.strip())

    def test_upgrade_line_gives_the_stored_form(self):
        cases = [
            (["RendeloID", "AB12"], ["[Main]", "RendeloID=" + stored_form("AB12", "settings")]),
            (["checkkeszlet", "2"], ["[Main]", "CheckKeszlet=" + stored_form("2_CheckKeszlet", "settings")]),
            (["UseUgyfelKod", "1"], ["[Main]", "UseUgyfelKod=" + stored_form("1_UseBoltKod", "settings")]),
            (["UseKartonAr", "nem"], ["[Main]", "UseKartonAr=" + stored_form("0_UseKartonAr", "settings")]),
            (["ArhivNap", "30"], ["[Main]", "ArhivNap=30"]),
            (["AutoDataSync", "igen"], ["[User]", "AutoDataSync=1"]),
            (["Password", "Jelszó"], ["[FTPSync]", "Password=" + stored_form("Jelszó", "ftp")]),
            (["Server", "ftp.kelo.hu"], ["[FTPSync]", "Server=ftp.kelo.hu"]),
        ]
        for args, lines in cases:
            rc, out, err = admin("upgrade-line", *args)
            self.assertEqual((rc, err), (0, ""), args)
            self.assertEqual(out.splitlines(), lines, args)

    def test_admin_password_is_the_local_minute(self):
        def pattern(t):
            return t.strftime("%M%H%d%m%Y")
        before = pattern(datetime.datetime.now())
        rc, out, err = admin("admin-password")
        after = pattern(datetime.datetime.now())
        self.assertEqual(rc, 0, err)
        self.assertIn(out.strip(), {before, after})
        self.assertRegex(out, r"^[0-9]{12}\n$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
