#!/usr/bin/env python3
"""Puts the texts of an installer's summary information into its code page.

    summary-codepage.py PACKAGE.msi

wixl and msibuild store the summary's texts (subject, author, comments...) as
the UTF-8 bytes they were given, while the summary names its code page (936
here) as the one its texts are in: every reader then shows the Chinese texts as
mojibake. This rewrites each text of the summary information stream in that
code page, in place: the stream lives in the compound file's mini stream, and
its texts only get shorter (GBK takes two bytes where UTF-8 takes three), so it
keeps the first of its sectors and gives back the rest.
"""
import struct
import sys

FREE, END_OF_CHAIN = 0xFFFFFFFF, 0xFFFFFFFE
SUMMARY = "\x05SummaryInformation"
VT_I2, VT_LPSTR = 2, 30
PID_CODEPAGE = 1


class CompoundFile:
    """The parts of a compound file (version 3 or 4) this script touches."""

    def __init__(self, data):
        self.data = data
        if data[:8] != bytes.fromhex("d0cf11e0a1b11ae1"):
            raise SystemExit("not a compound file")
        self.sector_size = 1 << struct.unpack_from("<H", data, 30)[0]
        self.mini_size = 1 << struct.unpack_from("<H", data, 32)[0]
        (fat_count, self.dir_start, _, self.cutoff, self.minifat_start, _, difat_start,
         difat_count) = struct.unpack_from("<8I", data, 44)
        fat_sectors = list(struct.unpack_from("<109I", data, 76))
        per_sector = self.sector_size // 4
        sector = difat_start
        for _ in range(difat_count):
            entries = struct.unpack_from("<%dI" % per_sector, data, self.offset(sector))
            fat_sectors += entries[:-1]
            sector = entries[-1]
        self.fat = []
        for s in fat_sectors[:fat_count]:
            self.fat += struct.unpack_from("<%dI" % per_sector, data, self.offset(s))

    def offset(self, sector):
        return (sector + 1) * self.sector_size

    def chain(self, start, table):
        out, sector = [], start
        while sector < 0xFFFFFFFA:
            out.append(sector)
            sector = table[sector]
        return out

    def directory(self):
        """(name, offset of its 128-byte entry) of every entry."""
        for sector in self.chain(self.dir_start, self.fat):
            for i in range(self.sector_size // 128):
                at = self.offset(sector) + i * 128
                length = struct.unpack_from("<H", self.data, at + 64)[0]
                yield self.data[at:at + max(length - 2, 0)].decode("utf-16-le"), at

    def mini_offsets(self):
        """Where each mini sector lies in the file, and where each mini FAT entry does."""
        root_start = struct.unpack_from("<I", self.data, next(self.directory())[1] + 116)[0]
        per_sector = self.sector_size // self.mini_size
        sectors = [self.offset(s) + i * self.mini_size
                   for s in self.chain(root_start, self.fat) for i in range(per_sector)]
        entries = [self.offset(s) + i * 4
                   for s in self.chain(self.minifat_start, self.fat) for i in range(self.sector_size // 4)]
        return sectors, entries


def recode(stream):
    """The property set with every text moved from UTF-8 to its code page."""
    byte_order, _, _, _, sections = struct.unpack_from("<HHI16sI", stream, 0)
    if byte_order != 0xFFFE or sections != 1:
        raise SystemExit("unexpected summary information layout")
    start = struct.unpack_from("<I", stream, 44)[0]
    _, count = struct.unpack_from("<II", stream, start)
    entries = [struct.unpack_from("<II", stream, start + 8 + 8 * i) for i in range(count)]
    values = {}
    for pid, at in entries:
        kind = struct.unpack_from("<I", stream, start + at)[0]
        if kind == VT_LPSTR:
            length = struct.unpack_from("<I", stream, start + at + 4)[0]
            values[pid] = (kind, stream[start + at + 8:start + at + 8 + length].split(b"\0")[0])
        else:
            ends = sorted(a for _, a in entries if a > at) + [len(stream) - start]
            values[pid] = (kind, stream[start + at + 4:start + ends[0]])
    kind, raw = values.get(PID_CODEPAGE, (None, b""))
    if kind != VT_I2:
        raise SystemExit("the summary names no code page")
    codepage = struct.unpack_from("<H", raw)[0]

    body = b""
    table = b""
    first = 8 + 8 * len(entries)
    for pid, _ in entries:
        kind, raw = values[pid]
        if kind == VT_LPSTR:
            try:
                text = raw.decode("utf-8")
            except UnicodeDecodeError:
                raise SystemExit("summary property %d is not UTF-8: already in its code page?" % pid)
            encoded = text.encode("cp%d" % codepage) + b"\0"
            value = struct.pack("<II", kind, len(encoded)) + encoded
        else:
            value = struct.pack("<I", kind) + raw
        value += b"\0" * (-len(value) % 4)
        table += struct.pack("<II", pid, first + len(body))
        body += value
    section = struct.pack("<II", first + len(body), len(entries)) + table + body
    return stream[:start] + section


def main(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    cfb = CompoundFile(data)
    entry = next((at for name, at in cfb.directory() if name == SUMMARY), None)
    if entry is None:
        raise SystemExit("no summary information in " + path)
    start, size = struct.unpack_from("<II", data, entry + 116)
    if size >= cfb.cutoff:
        raise SystemExit("the summary information is not in the mini stream")
    sectors, fat_entries = cfb.mini_offsets()
    minifat = [struct.unpack_from("<I", data, at)[0] for at in fat_entries]
    chain = cfb.chain(start, minifat)
    old = b"".join(data[sectors[s]:sectors[s] + cfb.mini_size] for s in chain)[:size]

    new = recode(old)
    needed = -(-len(new) // cfb.mini_size)
    if needed > len(chain):
        raise SystemExit("the recoded summary information does not fit its sectors")
    padded = new + b"\0" * (needed * cfb.mini_size - len(new))
    for i, s in enumerate(chain[:needed]):
        data[sectors[s]:sectors[s] + cfb.mini_size] = padded[i * cfb.mini_size:(i + 1) * cfb.mini_size]
    for i, s in enumerate(chain):
        link = chain[i + 1] if i + 1 < needed else END_OF_CHAIN if i + 1 == needed else FREE
        struct.pack_into("<I", data, fat_entries[s], link)
    for s in chain[needed:]:
        data[sectors[s]:sectors[s] + cfb.mini_size] = b"\0" * cfb.mini_size
    struct.pack_into("<I", data, entry + 120, len(new))
    with open(path, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    main(sys.argv[1])
