#!/usr/bin/python3
"""Reads an .xls file with independent readers and prints what they see as JSON.

- The compound file is walked here from its header (sector tables, extension sectors, directory,
  mini stream): every sector must belong to exactly one chain or table, chains must end properly
  and have the length their stream sizes ask for.
- The workbook's records are walked here too (record lengths, BOUNDSHEET offsets, page footers,
  formula tokens).
- Cells, formats, fonts, column widths and sheet names come from xlrd (formatting_info=True);
  its log must stay empty.

usage: xls_dump.py FILE [--head N] [--tail M]   (rows dumped per sheet: the first N, the last M)
"""
import io
import json
import struct
import sys

import xlrd
from xlrd import formula as xlformula

FREE, END, FATSECT, DIFSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC


def check_ole(data):
    errors = []
    info = {}
    if data[:8] != bytes.fromhex("D0CF11E0A1B11AE1"):
        return {"errors": ["bad signature"]}, None
    (minor, major, order, sshift, mshift) = struct.unpack_from("<HHHHH", data, 24)
    (ndir, nfat, dirstart, _sig, cutoff, minifatstart, nminifat, difatstart, ndifat) = \
        struct.unpack_from("<IIIIIIIII", data, 40)
    if (major, order, sshift, mshift, cutoff) != (3, 0xFFFE, 9, 6, 4096):
        errors.append("header fields %r" % ((major, order, sshift, mshift, cutoff),))
    if (len(data) - 512) % 512:
        errors.append("file size is not a whole number of sectors")
    nsect = (len(data) - 512) // 512
    info.update(fat_sectors=nfat, difat_sectors=ndifat, sectors=nsect)

    def sector(i):
        if i >= nsect:
            errors.append("sector %d beyond the end" % i)
            return b"\0" * 512
        return data[512 + i * 512: 1024 + i * 512]

    owner = {}

    def claim(i, what):
        if i in owner:
            errors.append("sector %d in %s and %s" % (i, owner[i], what))
        owner[i] = what

    fatids = list(struct.unpack_from("<109I", data, 76))
    d = difatstart
    for k in range(ndifat):
        claim(d, "difat")
        ids = struct.unpack("<128I", sector(d))
        fatids.extend(ids[:127])
        d = ids[127]
    if ndifat and d != END:
        errors.append("difat chain does not end")
    if any(x != FREE for x in fatids[nfat:]):
        errors.append("unused difat entries are not free")
    fatids = fatids[:nfat]
    fat = []
    for f in fatids:
        claim(f, "fat")
        fat.extend(struct.unpack("<128I", sector(f)))
    for f in fatids:
        if fat[f] != FATSECT:
            errors.append("fat sector %d not marked" % f)
    for i, v in enumerate(fat):
        if v == DIFSECT and owner.get(i) != "difat":
            errors.append("sector %d marked difat" % i)
        if owner.get(i) == "difat" and v != DIFSECT:
            errors.append("difat sector %d not marked" % i)

    def chain(start, what):
        out = []
        i = start
        while i != END:
            if i >= len(fat) or i >= nsect or len(out) > nsect:
                errors.append("%s chain broken at %d" % (what, i))
                break
            claim(i, what)
            out.append(i)
            i = fat[i]
        return out

    dirsects = chain(dirstart, "directory")
    dirdata = b"".join(sector(i) for i in dirsects)
    entries = []
    for k in range(len(dirdata) // 128):
        e = dirdata[k * 128:(k + 1) * 128]
        nlen = struct.unpack_from("<H", e, 64)[0]
        name = e[:max(0, nlen - 2)].decode("utf-16-le")
        etype = e[66]
        left, right, child = struct.unpack_from("<III", e, 68)
        start, size = struct.unpack_from("<II", e, 116)
        entries.append(dict(name=name, type=etype, child=child, start=start, size=size,
                            left=left, right=right))
    if not entries or entries[0]["type"] != 5:
        errors.append("no root entry")
        return {"errors": errors, **info}, None
    root = entries[0]
    ministream = b"".join(sector(i) for i in chain(root["start"], "ministream")) if root["size"] else b""
    if len(ministream) < root["size"]:
        errors.append("mini stream shorter than its size")
    minifat = []
    for i in chain(minifatstart, "minifat") if nminifat else []:
        minifat.extend(struct.unpack("<128I", sector(i)))
    streams = {}
    # The directory is a tree below the root; with one stream the tree is a single node.
    todo = [root["child"]] if root["child"] != FREE else []
    while todo:
        k = todo.pop()
        if k >= len(entries):
            errors.append("directory link %d out of range" % k)
            continue
        e = entries[k]
        todo += [x for x in (e["left"], e["right"]) if x != FREE]
        if e["type"] != 2:
            continue
        if e["size"] < cutoff:
            info["mini"] = True
            out, i, seen = b"", e["start"], 0
            while i != END and seen <= len(minifat):
                if i >= len(minifat):
                    errors.append("mini chain broken")
                    break
                out += ministream[i * 64:(i + 1) * 64]
                i = minifat[i]
                seen += 1
            if len(out) < e["size"] or len(out) - e["size"] >= 64:
                errors.append("mini chain length does not fit the size")
        else:
            info["mini"] = False
            sects = chain(e["start"], e["name"])
            if len(sects) != (e["size"] + 511) // 512:
                errors.append("chain of %s has %d sectors for %d bytes" % (e["name"], len(sects), e["size"]))
            out = b"".join(sector(i) for i in sects)
        streams[e["name"]] = out[:e["size"]]
    for i in range(nsect):
        if i not in owner:
            errors.append("sector %d belongs to nothing" % i)
        elif i >= len(fat):
            errors.append("sector %d has no sector table entry" % i)
    info["errors"] = errors[:10] + (["... %d more" % (len(errors) - 10)] if len(errors) > 10 else [])
    info["streams"] = sorted(streams)
    return info, streams.get("Workbook")


def walk_records(wb):
    """Footers, formula tokens and record sanity, per sheet, straight from the BIFF stream."""
    errors = []
    pos = 0
    sheet = -1
    bof_at = []
    boundsheets = []
    footers = {}
    formulas = {}
    sst_records = {}  # start -> length, of the SST record and its CONTINUE records
    extsst = []
    last = None
    dims = {}
    cells = {}  # sheet -> [(row, col)]
    row_spans = {}  # (sheet, row) -> (colMic, colMac) of its ROW record
    while pos + 4 <= len(wb):
        rt, ln = struct.unpack_from("<HH", wb, pos)
        body = wb[pos + 4: pos + 4 + ln]
        if ln > 8224:
            errors.append("record 0x%04X at %d has %d bytes" % (rt, pos, ln))
        if rt == 0x00FC or (rt == 0x003C and last in (0x00FC, 0x003C)):
            sst_records[pos] = ln
        if rt == 0x00FF:
            dsst = struct.unpack_from("<H", body, 0)[0]
            extsst = [struct.unpack_from("<IH", body, 2 + 8 * k) for k in range((ln - 2) // 8)]
            if dsst < 8:
                errors.append("EXTSST bucket size %d" % dsst)
        if rt == 0x0200:
            dims[sheet] = struct.unpack_from("<IIHH", body, 0)
        if rt in (0x00FD, 0x027E, 0x0203, 0x0006, 0x0201):
            cells.setdefault(sheet, []).append(struct.unpack_from("<HH", body, 0))
        if rt == 0x0208:
            r, c1, c2 = struct.unpack_from("<HHH", body, 0)
            row_spans[(sheet, r)] = (c1, c2)
        last = rt
        if rt == 0x0809:
            bof_at.append(pos)
            if struct.unpack_from("<H", body, 2)[0] == 0x10:
                sheet += 1
        elif rt == 0x0085:
            boundsheets.append(struct.unpack_from("<I", body, 0)[0])
        elif rt == 0x0015 and ln:
            cch, flags = struct.unpack_from("<HB", body, 0)
            raw = body[3:]
            footers[sheet] = raw[:cch * 2].decode("utf-16-le") if flags & 1 else raw[:cch].decode("latin-1")
        elif rt == 0x0006:
            r, c = struct.unpack_from("<HH", body, 0)
            cce = struct.unpack_from("<H", body, 20)[0]
            formulas[(sheet, r, c)] = body[22:22 + cce]
        pos += 4 + ln
    if pos != len(wb):
        errors.append("stream does not end on a record boundary")
    for off in boundsheets:
        if off not in bof_at:
            errors.append("BOUNDSHEET offset %d is not a BOF" % off)
    # Each index entry points at a string inside the shared-string records.
    for ib, cb in extsst:
        start = ib - cb
        if start not in sst_records or not 4 <= cb < 4 + sst_records[start]:
            errors.append("EXTSST entry %d/%d points outside the string records" % (ib, cb))
    # The used range covers every cell; each row's ROW record covers its cells.
    for sh, used in cells.items():
        rmin, rmax, cmin, cmax = dims.get(sh, (0, 0, 0, 0))
        for r, c in used:
            if not (rmin <= r < rmax and cmin <= c < cmax):
                errors.append("cell %d,%d of sheet %d outside DIMENSIONS" % (r, c, sh))
                break
            span = row_spans.get((sh, r))
            if span is None or not span[0] <= c < span[1]:
                errors.append("cell %d,%d of sheet %d outside its ROW record" % (r, c, sh))
                break
    return errors, footers, formulas


def main():
    path = sys.argv[1]
    head = int(sys.argv[sys.argv.index("--head") + 1]) if "--head" in sys.argv else 1 << 30
    tail = int(sys.argv[sys.argv.index("--tail") + 1]) if "--tail" in sys.argv else 0
    data = open(path, "rb").read()
    ole, wb = check_ole(data)
    out = {"ole": ole}
    if wb is None:
        print(json.dumps(out))
        return
    rec_errors, footers, formulas = walk_records(wb)
    out["record_errors"] = rec_errors
    log = io.StringIO()
    book = xlrd.open_workbook(file_contents=data, formatting_info=True, logfile=log, verbosity=0)
    sheets = []
    for si in range(book.nsheets):
        sh = book.sheet_by_index(si)
        rows = sorted(set(range(min(head, sh.nrows))) | set(range(max(0, sh.nrows - tail), sh.nrows)))
        dumped = []
        for r in rows:
            cells = []
            for c in range(sh.row_len(r)):
                cell = sh.cell(r, c)
                xf = book.xf_list[cell.xf_index]
                font = book.font_list[xf.font_index]
                item = {"t": cell.ctype, "fmt": book.format_map[xf.format_key].format_str,
                        "bold": bool(font.bold), "height": font.height}
                if cell.ctype == xlrd.XL_CELL_DATE:
                    item["v"] = "%04d-%02d-%02dT%02d:%02d:%02d" % xlrd.xldate_as_tuple(cell.value, book.datemode)
                else:
                    item["v"] = cell.value
                tokens = formulas.get((si, r, c))
                if tokens is not None:
                    try:
                        item["formula"] = xlformula.decompile_formula(
                            book, tokens, len(tokens), xlformula.FMLA_TYPE_CELL, browx=r, bcolx=c)
                    except Exception as e:  # a formula xlrd cannot read is a finding, not a crash
                        item["formula"] = "ERROR %r" % e
                cells.append(item)
            dumped.append({"row": r, "cells": cells})
        sheets.append({
            "name": sh.name, "nrows": sh.nrows, "ncols": sh.ncols,
            "widths": {str(c): ci.width for c, ci in sh.colinfo_map.items()},
            "footer": footers.get(si),
            "rows": dumped,
        })
    out["sheets"] = sheets
    out["log"] = log.getvalue()
    print(json.dumps(out))


if __name__ == "__main__":
    main()
