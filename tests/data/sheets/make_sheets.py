#!/usr/bin/env python3
"""Writes the XLSX and ODS product sheets the tests and the benchmark read.

Both are zipped XML written by hand (the standard library's zipfile), so no
office program is needed:

    tests/data/sheets/make_sheets.py            rewrites products.xlsx, products.ods,
                                                listing.xlsx and inline.xlsx next to it
    tests/data/sheets/make_sheets.py --rows N OUT.xlsx|OUT.ods
                                                a sheet of N products (the benchmark)

The committed files are its output; run it again after changing it and review
the test expectations.
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

def entry(name, compression=zipfile.ZIP_DEFLATED):
    """A zip member with a fixed time, so that the output is the same each run."""
    info = zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0))
    info.compress_type = compression
    return info


# ---- XLSX

XLSX_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
{sheets}
<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>"""

XLSX_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""

# Cell formats (the s attribute): 0 general, 1 "0.00" (built-in 2), 2 "0%"
# (built-in 9), 3 a date of its own, 4 "#,##0.00" (built-in 4), 5 a Chinese
# date with quoted text, 6 a price with a currency sign.
XLSX_STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="3">
<numFmt numFmtId="164" formatCode="yyyy\\-mm\\-dd"/>
<numFmt numFmtId="165" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/>
<numFmt numFmtId="166" formatCode="&quot;¥&quot;#,##0.00"/>
</numFmts>
<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>
<fills count="1"><fill><patternFill patternType="none"/></fill></fills>
<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="7">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="2" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="9" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="4" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="165" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="166" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
</cellXfs>
<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>"""


def column_name(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


class Strings:
    def __init__(self):
        self.items = []
        self.index = {}

    def id(self, text):
        if text not in self.index:
            self.index[text] = len(self.items)
            self.items.append(text)
        return self.index[text]

    def xml(self):
        items = "".join(f'<si><t xml:space="preserve">{escape(s)}</t></si>' for s in self.items)
        return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                f'count="{len(self.items)}" uniqueCount="{len(self.items)}">{items}</sst>')


def xlsx_cell(ref, value, strings):
    """A cell from a value: str (shared string), ("inline", s), int/float,
    (number, style), bool, ("formula", f, cached number) or None (no cell)."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return f'<c r="{ref}" t="b"><v>{int(value)}</v></c>'
    if isinstance(value, str):
        return f'<c r="{ref}" t="s"><v>{strings.id(value)}</v></c>'
    if isinstance(value, (int, float)):
        return f'<c r="{ref}"><v>{value!r}</v></c>'
    if value[0] == "inline":
        return f'<c r="{ref}" t="inlineStr"><is><t>{escape(value[1])}</t></is></c>'
    if value[0] == "formula":
        return f'<c r="{ref}"><f>{escape(value[1])}</f><v>{value[2]!r}</v></c>'
    number, style = value
    return f'<c r="{ref}" s="{style}"><v>{number!r}</v></c>'


def xlsx_sheet(rows, strings):
    out = []
    for r, row in enumerate(rows, 1):
        if row is None:
            continue
        cells = "".join(xlsx_cell(f"{column_name(c)}{r}", v, strings) for c, v in enumerate(row))
        out.append(f'<row r="{r}">{cells}</row>')
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            f'<sheetData>{"".join(out)}</sheetData></worksheet>')


def write_xlsx(path, sheets):
    """sheets: a list of (name, rows)."""
    strings = Strings()
    parts = {f"xl/worksheets/sheet{i}.xml": xlsx_sheet(rows, strings) for i, (_, rows) in enumerate(sheets, 1)}
    overrides = "\n".join(
        f'<Override PartName="/xl/worksheets/sheet{i}.xml" '
        'ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        for i in range(1, len(sheets) + 1))
    workbook_sheets = "".join(f'<sheet name="{escape(name)}" sheetId="{i}" r:id="rId{i}"/>'
                              for i, (name, _) in enumerate(sheets, 1))
    workbook = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                f'<sheets>{workbook_sheets}</sheets></workbook>')
    n = len(sheets)
    rels = "".join(
        f'<Relationship Id="rId{i}" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" '
        f'Target="worksheets/sheet{i}.xml"/>' for i in range(1, n + 1))
    rels += (f'<Relationship Id="rId{n + 1}" '
             'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
             f'<Relationship Id="rId{n + 2}" '
             'Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" '
             'Target="sharedStrings.xml"/>')
    workbook_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                     '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                     f'{rels}</Relationships>')
    with zipfile.ZipFile(path, "w") as z:
        for name, text in [("[Content_Types].xml", XLSX_TYPES.format(sheets=overrides)), ("_rels/.rels", XLSX_RELS),
                           ("xl/workbook.xml", workbook), ("xl/_rels/workbook.xml.rels", workbook_rels),
                           ("xl/styles.xml", XLSX_STYLES), *parts.items(), ("xl/sharedStrings.xml", strings.xml())]:
            z.writestr(entry(name), text)


# ---- ODS

ODS_MANIFEST = """<?xml version="1.0" encoding="UTF-8"?>
<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" manifest:version="1.2">
<manifest:file-entry manifest:full-path="/" manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>
<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>
</manifest:manifest>"""

ODS_NS = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
          'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" office:version="1.2"')

ODS_STYLES = """<office:automatic-styles>
<number:number-style style:name="N2"><number:number number:decimal-places="2" number:min-decimal-places="2" number:min-integer-digits="1"/></number:number-style>
<number:percentage-style style:name="N10"><number:number number:decimal-places="0" number:min-decimal-places="0" number:min-integer-digits="1"/><number:text>%</number:text></number:percentage-style>
<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N2"/>
<style:style style:name="ce2" style:family="table-cell" style:data-style-name="N10"/>
</office:automatic-styles>"""


def ods_cell(value):
    """str, float/int, (number, style), ("percent", number), ("date", iso), bool,
    ("raw", xml) or None."""
    if value is None:
        return "<table:table-cell/>"
    if isinstance(value, bool):
        shown = "TRUE" if value else "FALSE"
        return (f'<table:table-cell office:value-type="boolean" office:boolean-value="{str(value).lower()}">'
                f"<text:p>{shown}</text:p></table:table-cell>")
    if isinstance(value, str):
        paragraphs = "".join(f"<text:p>{escape(line)}</text:p>" for line in value.split("\n"))
        return f'<table:table-cell office:value-type="string">{paragraphs}</table:table-cell>'
    if isinstance(value, (int, float)):
        return (f'<table:table-cell office:value-type="float" office:value="{value!r}">'
                f"<text:p>{value!r}</text:p></table:table-cell>")
    if value[0] == "raw":
        return value[1]
    if value[0] == "percent":
        return (f'<table:table-cell table:style-name="ce2" office:value-type="percentage" '
                f'office:value="{value[1]!r}"><text:p>{round(value[1] * 100)}%</text:p></table:table-cell>')
    if value[0] == "date":
        return (f'<table:table-cell office:value-type="date" office:date-value="{value[1]}">'
                f"<text:p>{value[1]}</text:p></table:table-cell>")
    number, style = value
    return (f'<table:table-cell table:style-name="{style}" office:value-type="float" office:value="{number!r}">'
            f"<text:p>{number:.2f}</text:p></table:table-cell>")


def write_ods(path, sheets):
    tables = []
    for name, rows in sheets:
        body = ""
        for row in rows:
            repeat, row = row if isinstance(row, tuple) else (1, row)
            cells = "".join(ods_cell(v) for v in row)
            body += f'<table:table-row table:number-rows-repeated="{repeat}">{cells}</table:table-row>'
        body += '<table:table-row table:number-rows-repeated="1048000"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>'

        tables.append(f'<table:table table:name="{escape(name)}">{body}</table:table>')
    content = (f'<?xml version="1.0" encoding="UTF-8"?>\n<office:document-content {ODS_NS}>{ODS_STYLES}'
               f'<office:body><office:spreadsheet>{"".join(tables)}</office:spreadsheet></office:body>'
               "</office:document-content>")
    with zipfile.ZipFile(path, "w") as z:
        # The media type comes first and uncompressed, as the format asks.
        z.writestr(entry("mimetype", zipfile.ZIP_STORED), "application/vnd.oasis.opendocument.spreadsheet")
        for name, text in [("META-INF/manifest.xml", ODS_MANIFEST), ("content.xml", content)]:
            z.writestr(entry(name), text)


# ---- The sheets

HEADER = ["商家编码", "宝贝名称", "价格", "数量", "折扣", "上架日期", "备注"]


def products_xlsx():
    first = [
        HEADER,
        ["A001", "纯棉T恤", 99.9, 100, (0.85, 2), (45292, 3), "含,逗号\n和换行"],
        ["A002", "亚麻衬衫", (59, 1), ("formula", "D2*2", 200), (0.125, 2), (45658.5, 5), True],
        None,  # an empty row: skipped
        ["A003", "羊毛围巾", (1234.5, 4), 12345678901, 0.1, 3.0e-7, None],
        [None, "无编码", (99.9, 6), -5, None, None, "空编码"],
    ]
    second = [["编号", "库存"], ["K1", 7]]
    return [("宝贝", first), ("库存", second)]


def products_ods():
    first = [
        HEADER,
        ["A001", "纯棉T恤", 99.9, 100, ("percent", 0.85), ("date", "2024-01-01"), "含,逗号\n和换行"],
        ["A002", "亚麻衬衫", (59, "ce1"), 200, ("percent", 0.125), ("date", "2025-01-01T12:00:00"), True],
        ["A003", "羊毛围巾", (1234.5, "ce1"), 12345678901, 0.1, None, None],
        ["A004",
         # A comment, runs of spaces, a tab, a line break and a span in one paragraph.
         ("raw", '<table:table-cell office:value-type="string"><office:annotation><text:p>批注</text:p>'
                 '</office:annotation><text:p>a<text:s text:c="3"/>b<text:tab/>c<text:line-break/>d '
                 '<text:span>粗</text:span></text:p></table:table-cell>'),
         ("raw", '<table:table-cell table:style-name="ce1" office:value-type="currency" office:currency="CNY" '
                 'office:value="99.9"><text:p>¥99.90</text:p></table:table-cell>'),
         ("raw", '<table:table-cell office:value-type="time" office:time-value="PT12H30M00S">'
                 '<text:p>12:30</text:p></table:table-cell>'),
         # Two equal cells without paragraphs: the stored value stands in.
         ("raw", '<table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="0"/>'),
         ("raw", '<table:table-cell table:formula="of:=&quot;a&quot;&amp;&quot;b&quot;" office:value-type="string" '
                 'office:string-value="ab"><text:p>ab</text:p></table:table-cell>')],
        (2, ["A005", "同款", 10, None, None, None, None]),  # two equal rows in one
    ]
    second = [["编号", "库存"], ["K1", 7]]
    return [("宝贝", first), ("库存", second)]


def listing_xlsx():
    rows = [
        ["version 1.00"],
        ["title", "outer_id", "price", "description"],
        ["宝贝名称", "商家编码", "宝贝价格", "宝贝描述"],
        ["纯棉T恤", "A001", 99.9, "<p>旧_x000D_\n行</p>"],  # Excel's escape of a CR
        ["亚麻衬衫", "A002", 59, ""],
    ]
    return [("Sheet1", rows)]


def inline_xlsx():
    # Text inside the sheet rather than in the shared strings, as some export
    # tools write it.
    return [("Sheet1", [["outer_id", "title"], ["A001", ("inline", "纯棉T恤")]])]


def bench_sheet(count):
    rows = [["outer_id", "title", "price", "stock", "description"]]
    for i in range(count):
        rows.append([f"SKU{i:05d}", f"商品 {i} 纯棉短袖T恤 夏季新款", 19.9 + i % 100, i % 500,
                     f"<p>商品 {i} 的描述，含,逗号</p>"])
    return [("Sheet1", rows)]


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--rows":
        writer = write_ods if sys.argv[3].endswith(".ods") else write_xlsx
        writer(sys.argv[3], bench_sheet(int(sys.argv[2])))
        return 0
    if len(sys.argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    here = os.path.dirname(os.path.abspath(__file__))
    write_xlsx(os.path.join(here, "products.xlsx"), products_xlsx())
    write_ods(os.path.join(here, "products.ods"), products_ods())
    write_xlsx(os.path.join(here, "listing.xlsx"), listing_xlsx())
    write_xlsx(os.path.join(here, "inline.xlsx"), inline_xlsx())
    return 0


if __name__ == "__main__":
    sys.exit(main())
