#!/usr/bin/python3
"""kelobolt-admin's settings commands, checked from outside.

The stored forms are recomputed here with an independent Blowfish (pycryptodome's ECB
primitive) and the chaining mode of the settings files written out again in Python.
"""
import os
import subprocess
import sys
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
