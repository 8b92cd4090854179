"""Our DBF and FDB files against independent readers and writers (dbfread, python-dbf).

Runs kelobolt-admin make-sample / dbf-info / dbf-dump / fdb-dump from the build's bin folder.
"""
import datetime
import decimal
import json
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

import dbf
import dbfread

ADMIN = os.path.join(os.environ.get("KB_BIN_DIR", "build/bin"), "kelobolt-admin")


def admin(*args, check=True):
    p = subprocess.run([ADMIN, *args], capture_output=True, timeout=120)
    if check and p.returncode != 0:
        raise AssertionError(f"kelobolt-admin {args} failed: {p.stderr.decode('utf-8', 'replace')}")
    return p


def dump(path, *extra):
    out = admin("dbf-dump", path, *extra).stdout.decode("utf-8")
    return [json.loads(line) for line in out.splitlines()]


def normal(value):
    """A value as our dump writes it: texts without trailing blanks, empty as None."""
    if isinstance(value, str):
        value = value.rstrip(" ")
        return value or None
    if isinstance(value, decimal.Decimal):
        return float(value)
    if isinstance(value, datetime.datetime):
        return value.strftime("%Y-%m-%dT%H:%M:%S")
    if isinstance(value, datetime.date):
        return value.isoformat()
    return value


class SampleTablesReadByOthers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.dir = cls.tmp.name
        admin("make-sample", cls.dir, "--products", "300", "--seed", "7")
        cls.data = os.path.join(cls.dir, "Data")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_every_table_reads_the_same_in_dbfread(self):
        expect = {"termek.dbf": "cp1250", "vevo.dbf": "cp852", "ceg.dbf": "cp1250",
                  "vonalkod.dbf": "cp1250", "Szotartetel.dbf": "cp1250"}
        for name, encoding in expect.items():
            path = os.path.join(self.data, name)
            table = dbfread.DBF(path, char_decode_errors="strict")
            self.assertEqual(table.encoding, encoding, name)
            theirs = [{k: normal(v) for k, v in rec.items()} for rec in table]
            ours = dump(path)
            self.assertEqual(len(ours), len(theirs), name)
            self.assertEqual(ours, theirs, name)
            info = json.loads(admin("dbf-info", path).stdout)
            self.assertEqual(info["records"], len(theirs))
            self.assertEqual([(f["name"], f["type"], f["length"], f["decimals"]) for f in info["fields"]],
                             [(f.name, f.type, f.length, f.decimal_count) for f in table.fields], name)

    def test_python_dbf_reads_the_same(self):
        for name in ("termek.dbf", "vevo.dbf"):
            path = os.path.join(self.data, name)
            ours = dump(path)
            with dbf.Table(path) as t:
                theirs = [{f: normal(rec[f]) for f in t.field_names} for rec in t]
            for a, b in zip(ours, theirs):
                self.assertEqual({k.lower(): v for k, v in a.items()}, b, name)
            self.assertEqual(len(ours), len(theirs))

    def test_sample_content(self):
        termek = list(dbfread.DBF(os.path.join(self.data, "termek.dbf")))
        self.assertEqual(len(termek), 300)
        for col in ("KOD", "NEV", "RENDMENNY", "SUMMENNY", "MINRMENNY", "DBNEAR", "DBBEAR", "KARNEAR", "KARBEAR",
                    "AFA_KULCS", "ADATUMTOL", "ADATUMIG", "KARSZORZO", "RAKSZORZO", "UGYKOD", "UGYNEV", "AKCIOS",
                    "TIPUSNEV", "LISTAID", "VONALKOD", "CEGKOD", "CEGNEV", "TIPUS1", "TIPUS2", "TIPUS3", "TIPUS4",
                    "TIPUS5", "TIPUS6"):
            self.assertIn(col, termek[0])
        letters = set("".join(r["NEV"] + r["UGYNEV"] for r in termek))
        vevo_letters = set("".join(r["VNEV"] + r["VVAR"] + r["VUTC"] for r in dbfread.DBF(os.path.join(self.data, "vevo.dbf"))))
        self.assertTrue(set("őŐűŰ") <= letters, "termek.dbf")
        self.assertTrue(set("őŐűŰ") <= vevo_letters, "vevo.dbf")
        self.assertTrue(all(r["RENDMENNY"] is None for r in termek))
        vevo = list(dbfread.DBF(os.path.join(self.data, "vevo.dbf")))
        self.assertTrue(any(r["VTP2"] == "AKT" for r in vevo) and any(r["VTP2"] != "AKT" for r in vevo))
        fej = {r["FEJ"] for r in dbfread.DBF(os.path.join(self.data, "Szotartetel.dbf"))}
        self.assertEqual(fej, {20, 4, 5, 6, 13, 14, 15})
        with zipfile.ZipFile(os.path.join(self.data, "termek.zip")) as z:
            self.assertEqual(z.namelist(), ["termek.dbf"])
            with open(os.path.join(self.data, "termek.dbf"), "rb") as f:
                self.assertEqual(z.read("termek.dbf"), f.read())

    def test_deterministic_for_a_seed(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            admin("make-sample", a, "--products", "300", "--seed", "7")
            admin("make-sample", b, "--products", "300", "--seed", "8")
            for name in ("termek.dbf", "vevo.dbf", "vonalkod.dbf", "Szotartetel.dbf", "ceg.dbf"):
                self.assertEqual(dump(os.path.join(a, "Data", name)), dump(os.path.join(self.data, name)), name)
            self.assertNotEqual(dump(os.path.join(b, "Data", "termek.dbf")), dump(os.path.join(self.data, "termek.dbf")))


class TablesWrittenByPythonDbf(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.tmp.cleanup()

    def path(self, name):
        return os.path.join(self.tmp.name, name)

    def test_code_pages_1250_and_852(self):
        rows = [("Őrült Űrhajó ő ű", decimal.Decimal("1234.50"), 3, datetime.date(2024, 2, 29), True),
                ("törölt sor", 1, 1, None, None),
                ("ÁÉÍÓÖŐÚÜŰ áéíóöőúüű", None, -7, datetime.date(1999, 12, 31), False),
                ("", 0, 0, None, None)]
        for cp in ("cp1250", "cp852"):
            p = self.path(cp + ".dbf")
            t = dbf.Table(p, "NEV C(40); AR N(12,2); DB N(6,0); NAP D; OK L", codepage=cp)
            t.open(dbf.READ_WRITE)
            for r in rows:
                t.append(r)
            dbf.delete(t[1])
            t.close()
            expect = [{"NEV": normal(r[0]), "AR": None if r[1] is None else float(r[1]), "DB": r[2],
                       "NAP": normal(r[3]), "OK": r[4]} for i, r in enumerate(rows) if i != 1]
            self.assertEqual(dump(p), expect, cp)
            info = json.loads(admin("dbf-info", p).stdout)
            self.assertEqual(info["codepage"], int(cp[2:]))
            self.assertEqual(info["records"], 4)  # the deleted row is still in the file
            # Read with the other code page the accented letters come out differently.
            other = "852" if cp == "cp1250" else "1250"
            self.assertNotEqual(dump(p, "--codepage", other)[0]["NEV"], expect[0]["NEV"])

    def test_foxpro_types(self):
        p = self.path("vfp.dbf")
        t = dbf.Table(p, "NEV C(20); I I; B B; Y Y; T T; M M", dbf_type="vfp", codepage="cp1250")
        t.open(dbf.READ_WRITE)
        t.append(("Ő vfp", -5, 1.25, decimal.Decimal("12.5"), datetime.datetime(2024, 3, 15, 14, 5, 59), "memo"))
        t.close()
        ours = dump(p)
        theirs = [{k: normal(v) for k, v in rec.items()} for rec in dbfread.DBF(p)]
        theirs[0]["M"] = None  # a memo reads as empty text here
        self.assertEqual(ours, theirs)

    def test_damaged_files_are_refused_with_a_message(self):
        p = self.path("ok.dbf")
        t = dbf.Table(p, "NEV C(10)", codepage="cp1250")
        t.open(dbf.READ_WRITE)
        for i in range(5):
            t.append(("sor %d" % i,))
        t.close()
        with open(p, "rb") as f:
            good = f.read()
        cases = {"truncated": good[:len(good) - 20], "header only": good[:40],
                 "unknown field type": good[:43] + b"Q" + good[44:], "empty": b""}
        for name, data in cases.items():
            with open(self.path("bad.dbf"), "wb") as f:
                f.write(data)
            p2 = admin("dbf-dump", self.path("bad.dbf"), check=False)
            self.assertEqual(p2.returncode, 1, name)
            self.assertEqual(p2.stdout, b"", name)
            self.assertTrue(p2.stderr.decode("utf-8").strip(), name)
        self.assertEqual(admin("dbf-info", self.path("nincs.dbf"), check=False).returncode, 1)
        self.assertEqual(admin("dbf-dump", check=False).returncode, 1)


class LockingAcrossProcesses(unittest.TestCase):
    def test_an_exclusive_holder_keeps_us_out(self):
        import fcntl
        with tempfile.TemporaryDirectory() as d:
            admin("make-sample", d, "--products", "5")
            path = os.path.join(d, "Data", "ceg.dbf")
            with open(path, "rb") as held:
                fcntl.flock(held, fcntl.LOCK_EX | fcntl.LOCK_NB)
                p = admin("dbf-dump", path, check=False)
                self.assertEqual(p.returncode, 1)
                self.assertIn("más használja", p.stderr.decode("utf-8"))
                fcntl.flock(held, fcntl.LOCK_UN)
                fcntl.flock(held, fcntl.LOCK_SH | fcntl.LOCK_NB)  # a shared holder lets readers in
                self.assertEqual(len(dump(path)), 4)


class FdbDump(unittest.TestCase):
    def fdb(self, body):
        with tempfile.NamedTemporaryFile(suffix=".fdb", delete=False) as f:
            f.write(body)
        try:
            p = admin("fdb-dump", f.name, check=False)
        finally:
            os.unlink(f.name)
        return p

    HEAD = ("\r\n[Options]\r\nId=rendelés\r\nHashCode=h1\r\n"
            "\r\n[Table]\r\nNAME=TETEL\r\nSQLTABLENAME=\r\nKEYFIELDNAMES=\r\nSRCFILENAME=\r\n"
            "\r\n[Field]\r\nTable=TETEL\r\nName=KOD\r\nDataType=String\r\nMemo=\r\nSize=0\r\nSqlFieldName=\r\n"
            "\r\n[Field]\r\nTable=TETEL\r\nName=RENDMENNY\r\nDataType=float\r\nMemo=\r\nSize=0\r\nSqlFieldName=\r\n"
            "\r\n[Field]\r\nTable=TETEL\r\nName=KELT\r\nDataType=DateTime\r\nMemo=\r\nSize=0\r\nSqlFieldName=\r\n"
            "\r\n[Field]\r\nTable=\r\nName=MEGJ\r\nDataType=Ismeretlen\r\nMemo=\r\nSize=x\r\nSqlFieldName=\r\n")

    def test_corner_cases(self):
        body = (self.HEAD +
                "\r\n[REC.TETEL]\r\nKOD(6)=A12345\r\nRENDMENNY=12,5\r\nKELT=2024.03.15 14:05\r\n"
                "\r\n[rec.tetel]\r\nkod(9)=Ő\r\n[X]\r\nRENDMENNY=\r\nKELT=\r\nNINCS=1\r\n"
                "\r\n[REC]\r\nMEGJ(3)=űŰő\r\n"
                "[<MEGRENDELES_VEGE>]\r\nKOD=utána\r\n").encode("cp1250")
        p = self.fdb(body)
        self.assertEqual(p.returncode, 0, p.stderr)
        got = json.loads(p.stdout.decode("utf-8"))
        self.assertEqual(got["id"], "rendelés")
        self.assertEqual(got["hashcode"], "h1")
        self.assertEqual(got["tables"], ["TETEL"])
        self.assertEqual(got["fields"], [{"table": "TETEL", "name": "KOD", "type": "String"},
                                         {"table": "TETEL", "name": "RENDMENNY", "type": "Float"},
                                         {"table": "TETEL", "name": "KELT", "type": "DateTime"},
                                         {"table": "", "name": "MEGJ", "type": "String"}])
        self.assertEqual(got["records"], [
            {"table": "TETEL", "values": {"KOD": "A12345", "RENDMENNY": 12.5, "KELT": "2024-03-15T14:05:00"}},
            # 9 bytes end inside "RENDMENNY": the rest of that line is a key of no field.
            {"table": "TETEL", "values": {"KOD": "Ő\r\n[X]\r\nR", "KELT": None}},
            {"table": "", "values": {"MEGJ": "űŰő"}},
        ])

    def test_examples_and_errors(self):
        fixtures = os.path.join(os.environ.get("KB_SOURCE_DIR", "."), "tests", "fixtures")
        with open(os.path.join(fixtures, "store-fdb-one-table.fdb"), "rb") as f:
            got = json.loads(self.fdb(f.read()).stdout)
        self.assertEqual(got["records"], [{"table": "TETEL", "values": {"KOD": "A12345", "RENDMENNY": 12.5}}])
        bad = self.fdb((self.HEAD + "\r\n[REC.TETEL]\r\nKELT=2024.02.30\r\n").encode("cp1250"))
        self.assertEqual(bad.returncode, 1)
        self.assertTrue(bad.stderr)
        self.assertEqual(admin("fdb-dump", "/nincs/ilyen.fdb", check=False).returncode, 1)


if __name__ == "__main__":
    unittest.main(verbosity=1)
