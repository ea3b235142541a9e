"""Writes the damaged packages the import scenarios refuse, from
books_basic_lo.xlsx (LibreOffice):

- damaged_crc_lo.xlsx: the worksheet stored uncompressed with one digit
  changed after its checksum was taken, so the rows read well and only the
  end of the part shows the damage (an import has streamed rows by then);
- truncated_lo.xlsx: the first 3000 bytes, without the zip directory.

    /usr/bin/python3 tests/data/xlsx/gen/damage.py
"""
import os
import zipfile

OUT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE = os.path.join(OUT, "books_basic_lo.xlsx")
SHEET = "xl/worksheets/sheet1.xml"


def damaged_crc(path):
    with zipfile.ZipFile(SOURCE) as source, zipfile.ZipFile(path, "w") as out:
        for info in source.infolist():
            data = source.read(info.filename)
            kind = zipfile.ZIP_STORED if info.filename == SHEET else zipfile.ZIP_DEFLATED
            out.writestr(info.filename, data, compress_type=kind)
    raw = bytearray(open(path, "rb").read())
    pages = raw.find(b"<v>169</v>")
    assert pages > 0 and raw.find(b"<v>169</v>", pages + 1) < 0
    raw[pages + 5] = ord("8")  # 169 becomes 168; the stored CRC still says 169
    open(path, "wb").write(bytes(raw))


def truncated(path):
    open(path, "wb").write(open(SOURCE, "rb").read()[:3000])


damaged_crc(os.path.join(OUT, "damaged_crc_lo.xlsx"))
truncated(os.path.join(OUT, "truncated_lo.xlsx"))
