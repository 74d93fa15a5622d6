"""A second, independent implementation of the KKT protocol, written from the
protocol description alone, to check the C++ programs against it byte by byte."""

import struct

START = b"\x17\x02"
END = 0x19
LENGTHS = {b"T": (51, 46), b"p": (40, 36), b"u": (11, 31), b"c": (11, 7)}

# Capital letters А..Я and their places in the KKT's 7-bit code.
LETTERS = "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
KOI7 = [0x61, 0x62, 0x77, 0x67, 0x64, 0x65, 0x76, 0x7A, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F, 0x70,
        0x72, 0x73, 0x74, 0x75, 0x66, 0x68, 0x63, 0x7E, 0x7B, 0x7D, 0x5E, 0x79, 0x78, 0x7C, 0x60, 0x71]
TO_KKT = dict(zip(LETTERS, KOI7))
FROM_KKT = {code: letter for letter, code in TO_KKT.items()}


def checksum(body: bytes) -> bytes:
    return struct.pack("<H", sum(body) & 0xFFFF)


def frame(kkt: int, code: bytes, data: bytes = b"") -> bytes:
    length = LENGTHS[code][0]
    assert len(data) == length - 11
    body = START + struct.pack("<I", kkt) + code + bytes([length]) + data + bytes([END])
    return body + checksum(body)


def answer(length: int, status: int, data: bytes = b"", head: bytes = b"\x17\x02\x00") -> bytes:
    data = data.ljust(length - 7, b"\x00")
    body = head + bytes([status]) + data + bytes([END])
    return body + checksum(body)


def checksum_ok(buf: bytes) -> bool:
    return len(buf) >= 4 and checksum(buf[:-2]) == buf[-2:]


def to_kkt(text: str, limit: int = -1) -> bytes:
    """Upper-case, optionally cut to `limit` characters, Windows-1251 with '?', then the KKT code."""
    text = text.upper()
    if limit >= 0:
        text = text[:limit]
    out = bytearray()
    for ch in text:
        try:
            b = ch.encode("cp1251")[0]
        except UnicodeEncodeError:
            b = ord("?")
        if b < 0x20:
            continue
        if b < 0x80:
            out.append(b)
        elif 0xC0 <= b <= 0xDF:
            out.append(TO_KKT[ch])
        else:
            out.append(0x20)
    return bytes(out)


def from_kkt(field: bytes) -> str:
    out = []
    for b in field:
        if b in (0x00, 0x80):
            break
        if b in (0x0A, 0x0D):
            out.append(chr(b))
        elif b < 0x1A:
            continue
        elif b == 0x5E or 0x60 <= b <= 0x7E:
            out.append(FROM_KKT[b])
        elif b == 0x7F:
            out.append("N")
        elif b < 0x80:
            out.append(chr(b))
        else:
            out.append(bytes([b]).decode("cp1251", errors="replace"))
    return "".join(out)


def field24(data: bytes) -> bytes:
    return data[:24].ljust(24, b"\x00")


def goods_write(kkt, number, font, name, barcode, price, section) -> bytes:
    data = (bytes([0]) + struct.pack("<H", number) + bytes([font]) + field24(to_kkt(name, 24))
            + (barcode & (2**48 - 1)).to_bytes(6, "little") + (price & (2**40 - 1)).to_bytes(5, "little")
            + bytes([section & 0xFF]))
    return frame(kkt, b"T", data)


def goods_read(kkt, number) -> bytes:
    return frame(kkt, b"T", bytes([1]) + struct.pack("<H", number) + bytes(37))


def param(kkt, mode, table, row, field, font, value: bytes = b"") -> bytes:
    return frame(kkt, b"p", bytes([mode, table, row, field, font]) + field24(value))


def parse_goods_answer(a: bytes) -> dict:
    return {"number": struct.unpack_from("<H", a, 4)[0], "font": a[6], "name": from_kkt(a[7:31]),
            "barcode": int.from_bytes(a[31:37], "little"), "price": int.from_bytes(a[37:42], "little"),
            "section": a[42]}
