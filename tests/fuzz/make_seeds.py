#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: small drawings, options files and tables.

Run from anywhere; the files land in corpus/<target>/ beside this script. Inputs that once
made a target fail are kept there too, under the names libFuzzer gave them."""
import math, os, struct

HERE = os.path.dirname(os.path.abspath(__file__))


def element(kind, width, pts, color=0):
    pts = list(pts) + [0.0] * (8 - len(pts))
    return struct.pack('<IId8dII', kind, 0, width, *pts, color, 0)


def text(x, y, s, font='Arial', size=12, style=0):
    units = s.encode('utf-16-le')
    return (struct.pack('<4d8xiiBBB5x', x, y, x + 20, y + 5, size, 0, 0, 0, style) +
            struct.pack('<I', len(units) // 2) + units + struct.pack('<I', len(font)) + font.encode('latin-1'))


def drawing(elements=(), texts=(), placement=(10, 90, 0, 50, 50, 0, 150, 50, 40), zoom=100, pen=0.1,
            extension=(2, 210 / 25.39995, 297 / 25.39995, 1), area=b''):
    b = struct.pack('<I', len(elements)) + b''.join(elements)
    b += struct.pack('<I', len(texts)) + b''.join(texts)
    b += struct.pack('<11d', *placement, zoom, pen) + struct.pack('<I4B', 0, 0, 1, 1, 1)
    if extension is not None:
        b += struct.pack('<4d', *extension) + area
    return b


def chunk(tag, body):
    return tag + struct.pack('<I', len(body)) + body


def area(*chunks, version=1):
    return b'TVKX' + struct.pack('<I', version) + b''.join(chunks)


set_square = chunk(b'SQR1', struct.pack('<3dB', 60, 120, 33.5, 1))


def dbf(fields, rows, declared=None, terminator=0x0D):
    record = 1 + sum(w for _, w in fields)
    header = 32 + 32 * len(fields) + 1
    n = len(rows) if declared is None else declared
    b = struct.pack('<B3BIHH20x', 3, 126, 1, 1, n, header, record)
    for name, width in fields:
        b += name.encode().ljust(11, b'\0') + b'C' + b'\0' * 4 + bytes([width, 0]) + b'\0' * 14
    b += bytes([terminator])
    for row in rows:
        b += b' ' + b''.join(v.encode('cp1252').ljust(w, b' ') for v, (_, w) in zip(row, fields))
    return b + b'\x1a'


def write(target, name, data):
    folder = os.path.join(HERE, 'corpus', target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


inf, nan = math.inf, math.nan
drawings = {
    'empty.tvk': drawing(),
    'every-kind.tvk': drawing(
        [element(0, 0.1, (10, 10, 100, 50)), element(1, 0.5, (20, 20, 80, 80, 80, 50, 50, 20), 0xFF),
         element(2, 0.3, (30, 30, 60, 60)), element(3, 1, (10, 200, 40, 150, 70, 250, 100, 200)),
         element(9, 1, (1, 2, 3, 4))],
        [text(10, 20, 'Umkreis'), text(30, 300, 'zwei\r\nZeilen', 'Times New Roman', 20, 3)],
        extension=(2, 8.5, 11, 2)),
    'older-without-extension.tvk': drawing([element(0, 0.1, (1, 1, 50, 50))], extension=None),
    'hostile-values.tvk': drawing(
        [element(0, nan, (1e308, -1e308, inf, 5)), element(2, inf, (0, 0, 1e300, 1e300)),
         element(1, 1e200, (nan, nan, nan, nan, nan, nan, nan, nan)),
         element(3, -5, (-1e308, 1e308, 0, 0, 1e-308, 5, 7, inf))],
        [text(1e308, -1e308, 'x\n' * 200, 'Arial', 2**31 - 1), text(nan, inf, '', '', -2**31)],
        placement=(1e308, -1e308, 1e308, 1e300, 5, -1e300, 1e308, 1e308, 1e308),
        extension=(1e300, 1e300, 1e-300, 1e9)),
    'hostile-values-on-a4.tvk': drawing(
        [element(0, nan, (1e308, -1e308, inf, 5)), element(2, inf, (0, 0, 1e300, 1e300)),
         element(0, 1e9, (5, 5, 20, 20)), element(3, -5, (-1e308, 1e308, 0, 0, 1e-308, 5, 7, inf))],
        [text(1, 1, 'x\n' * 2000, 'Arial', 2**31 - 1), text(-1e308, nan, 'y', 'Arial', 1 - 2**31)],
        placement=(1e308, -1e308, 1e308, 1e300, 5, -1e300, 1e308, 1e308, 1e308)),
    'set-square-and-later-chunks.tvk': drawing(
        [element(0, 0.1, (10, 10, 100, 50))],
        area=area(chunk(b'LAYR', b'\x01\x02\x03'), set_square, chunk(b'none', b''))),
    'damaged-area.tvk': drawing(
        [element(0, 0.1, (10, 10, 100, 50))],
        area=area(chunk(b'SQR1', struct.pack('<3d', nan, 1, 2)), set_square, set_square,
                  b'LAYR\xf0\xff\xff\xff\x01')),
    'many-sheets.tvk': drawing([element(0, 0.2, (10, 297 * k + 10, 200, 297 * k + 280)) for k in range(10)],
                               extension=(2, 210 / 25.39995, 297 / 25.39995, 10)),
}
for target in ('fuzz_drawing', 'fuzz_dxf', 'fuzz_render'):
    for name, data in drawings.items():
        write(target, name, data)



def pdf(pages, content=b''):
    """A small PDF file: pages of the given sizes in points, each drawing `content`."""
    objects = [b'<< /Type /Catalog /Pages 2 0 R >>']
    kids = b' '.join(b'%d 0 R' % (3 + i) for i in range(len(pages)))
    objects.append(b'<< /Type /Pages /Kids [' + kids + b'] /Count %d >>' % len(pages))
    stream = 3 + len(pages)
    for w, h in pages:
        objects.append(b'<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %g %g] /Contents %d 0 R >>'
                       % (w, h, stream))
    objects.append(b'<< /Length %d >>\nstream\n' % len(content) + content + b'\nendstream')
    out, offsets = b'%PDF-1.4\n', []
    for i, body in enumerate(objects):
        offsets.append(len(out))
        out += b'%d 0 obj\n' % (i + 1) + body + b'\nendobj\n'
    xref = len(out)
    out += b'xref\n0 %d\n0000000000 65535 f \n' % (len(objects) + 1)
    out += b''.join(b'%010d 00000 n \n' % o for o in offsets)
    return out + b'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' % (len(objects) + 1, xref)


line_and_circle = (b'0.85 w 113.4 680 m 396.9 680 l S '
                   b'283.5 420 m 283.5 467 321.6 505 368.5 505 c 415.4 505 453.5 467 453.5 420 c S')
worksheets = {
    'a4-line-and-circle.tvk': pdf([(595.3, 841.9)], line_and_circle),
    'two-sizes.tvk': pdf([(595.3, 841.9), (841.9, 595.3)], line_and_circle),
    'no-pages.tvk': pdf([]),
    'huge-page.tvk': pdf([(14000, 14000)], line_and_circle),
    'cut-short.tvk': pdf([(595.3, 841.9)], line_and_circle)[:200],
    'no-pdf.tvk': b'GIF89a....',
}
for name, data in worksheets.items():
    write('fuzz_worksheet', name, drawing([element(0, 0.1, (10, 10, 100, 50))],
                                          area=area(chunk(b'PDF1', data))))

for name, data in {'german': b'\0\0\0\0', 'english': b'\1\0\0\0', 'italian': b'\2\0\0\0',
                   'out-of-range': b'\xff\xff\xff\x7f', 'short': b'\1', 'long': b'\2\0\0\0rest'}.items():
    write('fuzz_options', name, data)

fields = [('language1', 40), ('language2', 30), ('language3', 20)]
rows = [('Datei', 'File', 'File'), ('Neu', 'New', 'Nuovo'), ('Zirkel', 'Compass', 'Compasso')]
for name, data in {
        'three-rows.dbf': dbf(fields, rows),
        'empty-table.dbf': dbf(fields, []),
        'fewer-rows-declared.dbf': dbf(fields, rows, declared=1),
        'more-rows-declared.dbf': dbf(fields, rows, declared=5),
        'bad-terminator.dbf': dbf(fields, rows, terminator=0x20),
}.items():
    write('fuzz_dbfheader', name, data)
