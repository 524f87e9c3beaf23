#!/usr/bin/python3
"""Writes the workbooks WorkbookRecordsTests reads into the folder given: made by openpyxl,
written part by part by hand where openpyxl cannot make the case, and broken ones."""

import bz2
import datetime
import struct
import sys
import zipfile
import zlib

import openpyxl
from openpyxl.utils.datetime import CALENDAR_MAC_1904

MAIN = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
RELS = 'xmlns="http://schemas.openxmlformats.org/package/2006/relationships"'


def openpyxl_book(path, epoch=None):
    wb = openpyxl.Workbook()
    if epoch:
        wb.epoch = epoch
    ws = wb.active
    ws.title = "Ответы"
    for row in [
        ["Имя", "Балл", "Когда", "Флаг", "Дробь"],
        ["Иванов", 5, datetime.datetime(2024, 1, 29, 13, 45, 30), True, 0.125],
        ["Петров", None, datetime.date(1900, 3, 1), False, -2.5],
        [None, 12, datetime.datetime(1900, 1, 1, 6, 0), None, 1234567.25],
        ["Сидоров", 7, datetime.datetime(2024, 2, 29, 23, 59, 59, 600000)],
    ]:
        ws.append(row)
    wb.create_sheet("Второй").append(["второй лист", 1])
    wb.save(path)


def workbook_xml(sheets, date1904="false"):
    listed = "".join(f'<sheet name="{n}" sheetId="{i + 1}" r:id="{r}"/>'
                     for i, (n, r) in enumerate(sheets))
    return (f'<workbook {MAIN} xmlns:r="{REL}"><workbookPr date1904="{date1904}"/>'
            f"<sheets>{listed}</sheets></workbook>")


def rels_xml(rels):
    return f"<Relationships {RELS}>" + "".join(
        f'<Relationship Id="{i}" Type="{REL}/{t}" Target="{target}"/>'
        for i, t, target in rels) + "</Relationships>"


HAND_STRINGS = (
    f'<sst {MAIN}><si><t>Имя</t></si>'
    '<si><r><rPr><b/></rPr><t>Жир</t></r><r><t xml:space="preserve"> и тонко</t></r></si>'
    '<si><t>漢字</t><rPh sb="0" eb="2"><t>かんじ</t></rPh></si>'
    '<si><t xml:space="preserve">  пробелы &amp; "кавычки"  </t></si>'
    '<si><t/></si><si><t>😀 эмодзи</t></si></sst>')

# Styles: the formats of cellXfs 2 and 3 hold date letters only inside quotes, after a backslash
# or in brackets; cellStyleXfs holds a date format that no cell uses.
HAND_STYLES = (
    f'<styleSheet {MAIN}><numFmts count="4">'
    '<numFmt numFmtId="164" formatCode="&quot;day &quot;0\\d"/>'
    '<numFmt numFmtId="165" formatCode="[Red][&lt;=100]0.00;[Blue]0"/>'
    '<numFmt numFmtId="166" formatCode="dd/mm/yyyy\\ hh:mm"/>'
    '<numFmt numFmtId="167" formatCode="[h]:mm:ss"/></numFmts>'
    '<cellStyleXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellStyleXfs>'
    '<cellXfs count="8"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/>'
    '<xf numFmtId="165"/><xf numFmtId="166"/><xf numFmtId="167"/><xf numFmtId="47"/>'
    '<xf numFmtId="49"/></cellXfs></styleSheet>')


def cells(row):
    return "".join(row)


# The first worksheet in the workbook's order is answers.xml, written with a prefix.
HAND_ANSWERS = (
    '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
    '<x:dimension ref="A1:AB9"/><x:sheetData>'
    '<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="C1" t="s"><x:v>1</x:v></x:c>'
    '<x:c t="s"><x:v>2</x:v></x:c></x:row>'
    '<x:row><x:c r="B2" t="inlineStr"><x:is><x:r><x:t>Инлайн</x:t></x:r><x:r>'
    '<x:t xml:space="preserve"> строка</x:t></x:r></x:is></x:c>'
    '<x:c r="C2" t="str"><x:f>A1&amp;"!"</x:f><x:v>Имя!</x:v></x:c>'
    '<x:c r="D2" t="b"><x:v>1</x:v></x:c><x:c r="E2" t="e"><x:v>#N/A</x:v></x:c>'
    '<x:c r="F2" t="s"><x:v>3</x:v></x:c><x:c r="G2" t="s"><x:v>4</x:v></x:c>'
    '<x:c r="H2" t="s"><x:v>5</x:v></x:c></x:row>'
    '<x:row r="5"><x:c r="A5"><x:v>5</x:v></x:c><x:c r="B5" s="2"><x:v>45321.5</x:v></x:c>'
    '<x:c r="C5" s="3"><x:v>-0.25</x:v></x:c><x:c r="D5" s="7"><x:v>1E-3</x:v></x:c>'
    '<x:c r="E5" t="n"><x:v>12345678901234567890</x:v></x:c></x:row>'
    '<x:row r="6" spans="1:12">' + cells(
        f'<x:c r="{c}6" s="{s}"{t}><x:v>{v}</x:v></x:c>' for c, s, t, v in [
            ("A", 1, "", "45321.5"), ("B", 4, "", "60"), ("C", 4, "", "59.999994"),
            ("D", 4, "", "61"), ("E", 5, "", "1.75"), ("F", 6, "", "0.0000115740740"),
            ("G", 1, "", "45351.99999"), ("H", 1, "", "45351.999999999"),
            ("I", 1, "", "-1"), ("J", 1, "", "1"), ("K", 1, ' t="s"', "0"),
            ("L", 1, "", "abc")]) + '</x:row>'
    '<x:row r="8"><x:c r="AB8"><x:v>7</x:v></x:c><x:c r="AD8" s="3"/></x:row>'
    '<x:row r="9"/></x:sheetData><x:pageMargins left="0.7" right="0.7" top="0.75" '
    'bottom="0.75" header="0.3" footer="0.3"/></x:worksheet>')

HAND_SECOND = (f'<worksheet {MAIN}><sheetData><row r="3"><c r="B3" t="inlineStr"><is>'
               '<t>второй</t></is></c></row></sheetData></worksheet>')


def hand_parts(sheet_xml=HAND_ANSWERS, strings=HAND_STRINGS):
    return {
        "[Content_Types].xml": "<Types/>",
        "xl/workbook.xml": workbook_xml(
            [("Диаграмма", "rId3"), ("Ответы", "rId9"), ("Второй &amp; последний", "rId1")]),
        "xl/_rels/workbook.xml.rels": rels_xml([
            ("rId1", "worksheet", "worksheets/sheet1.xml"),
            ("rId9", "worksheet", "/xl/worksheets/answers.xml"),
            ("rId3", "chartsheet", "chartsheets/sheet1.xml"),
            ("rId4", "sharedStrings", "sharedStrings.xml"),
            ("rId5", "styles", "styles.xml")]),
        "xl/sharedStrings.xml": strings,
        "xl/styles.xml": HAND_STYLES,
        "xl/worksheets/answers.xml": sheet_xml,
        "xl/worksheets/sheet1.xml": HAND_SECOND,
        "xl/chartsheets/sheet1.xml": "<chartsheet/>",
    }


def write_zip(path, parts):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            z.writestr(name, text.encode() if isinstance(text, str) else text)


def raw_zip(path, entries):
    """A zip whose entries are given as (name, method, compressed bytes, crc, claimed size):
    what zipfile cannot write, a deflate stream made of repeated blocks and a size that lies."""
    out, central = bytearray(), bytearray()
    for name, method, data, crc, size in entries:
        n = name.encode()
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 46, 0, method, 0, 0x21, crc, len(data),
                           size, len(n), 0) + n + data
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 46, 46, 0, method, 0, 0x21,
                               crc, len(data), size, len(n), 0, 0, 0, 0, 0, offset) + n
    count = len(entries)
    out += central + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, len(central),
                                 len(out), 0)
    with open(path, "wb") as f:
        f.write(out)


def deflated(text):
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    data = text.encode()
    return 8, c.compress(data) + c.flush(), zlib.crc32(data), len(data)


def repeated_deflate(head, chunk, times, tail, flush_every):
    """The deflate stream of head + chunk * times + tail, made from one compressed copy of the
    chunk: a full flush makes each copy independent of what came before."""
    c = zlib.compressobj(9, zlib.DEFLATED, -15)
    first = c.compress(head) + c.flush(zlib.Z_FULL_FLUSH)

    def block():
        return b"".join(c.compress(chunk[i:i + flush_every]) + c.flush(zlib.Z_FULL_FLUSH)
                        for i in range(0, len(chunk), flush_every))

    one = block()
    assert one == block()
    return first + one * times + c.compress(tail) + c.flush()


def bomb_book(path, part, bomb):
    parts = {name: text for name, text in hand_parts().items() if name != part}
    raw_zip(path, [(name, *deflated(text)) for name, text in parts.items()] + [(part, *bomb)])


def main(folder):
    openpyxl_book(f"{folder}/openpyxl.xlsx")
    openpyxl_book(f"{folder}/openpyxl1904.xlsx", CALENDAR_MAC_1904)
    write_zip(f"{folder}/hand.xlsx", hand_parts())

    # Broken: each is read and must be refused with its own message.
    with open(f"{folder}/notzip.xlsx", "w", encoding="utf-8") as f:
        f.write("Имя;Балл\nИванов;5\n")
    write_zip(f"{folder}/nowb.xlsx", {"mimetype": "application/vnd.oasis.opendocument.spreadsheet",
                                      "content.xml": "<office:document-content/>"})
    no_sheet = hand_parts()
    no_sheet["xl/workbook.xml"] = workbook_xml([("Диаграмма", "rId3")])
    write_zip(f"{folder}/nosheet.xlsx", no_sheet)
    with open(f"{folder}/openpyxl.xlsx", "rb") as f:
        whole = f.read()
    with open(f"{folder}/truncated.xlsx", "wb") as f:
        f.write(whole[:len(whole) // 2])

    for name, rows in [
            ("cut", '<row r="6"><c r="A6"><v>1</v></c></row><row r="7"><c r="A7"><v>1</v>'),
            ("badxml", '<row r="1"><c r="A1"><v>1</v></c></row><row><c><v>1</c></row>'),
            ("badref", '<row r="1"><c r="XFE1"><v>1</v></c></row>'),
            ("badindex", '<row r="1"><c r="A1" t="s"><v>6</v></c></row>')]:
        end = "" if name == "cut" else "</sheetData></worksheet>"
        write_zip(f"{folder}/{name}.xlsx", hand_parts(f"<worksheet {MAIN}><sheetData>{rows}{end}"))
    long_rows = "".join(f'<row r="{r}"><c r="A{r}"><v>{r * 7919 % 10007}</v></c>'
                        f'<c r="B{r}" t="inlineStr"><is><t>строка {r}</t></is></c></row>'
                        for r in range(1, 3001))
    write_zip(f"{folder}/corrupt.xlsx", hand_parts(
        f"<worksheet {MAIN}><sheetData>{long_rows}</sheetData></worksheet>"))
    with zipfile.ZipFile(f"{folder}/corrupt.xlsx") as z:
        info = z.getinfo("xl/worksheets/answers.xml")
    with open(f"{folder}/corrupt.xlsx", "r+b") as f:
        f.seek(info.header_offset + 26)
        name_length, extra_length = struct.unpack("<HH", f.read(4))
        f.seek(info.header_offset + 30 + name_length + extra_length + info.compress_size // 2)
        byte = f.read(1)[0]
        f.seek(-1, 1)
        f.write(bytes([byte ^ 0x55]))

    # Blanks: three gigabytes in a sheet that says so; 64 MB in bzip2, past any deflate ratio;
    # a cell of 32 MB; shared strings followed by 300 MB, less compressed, that claim a kilobyte.
    sheet, head = "xl/worksheets/answers.xml", f"<worksheet {MAIN}><sheetData>".encode()
    megabyte = b" " * (1 << 20)
    bomb_book(f"{folder}/bomb.xlsx", sheet,
              (8, repeated_deflate(head, megabyte, 3 * 1024, b"", 1 << 20), 0, 3 << 30))
    blanks = head + megabyte * 64
    bomb_book(f"{folder}/ratio.xlsx", sheet,
              (12, bz2.compress(blanks, 9), zlib.crc32(blanks), len(blanks)))
    cell = head + b'<row r="3"><c r="A3" t="inlineStr"><is><t>'
    bomb_book(f"{folder}/long.xlsx", sheet,
              (8, repeated_deflate(cell, megabyte, 32, b"", 1 << 14), 0, 1024))
    strings = repeated_deflate(f"<sst {MAIN}/>".encode(), megabyte, 300, b"", 1 << 14)
    assert 300 * len(megabyte) < 1000 * len(strings)
    bomb_book(f"{folder}/strings.xlsx", "xl/sharedStrings.xml", (8, strings, 0, 1024))


if __name__ == "__main__":
    main(sys.argv[1])
