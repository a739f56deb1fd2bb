#!/usr/bin/env python3
"""Files for the comics tests that no free tool on Debian makes: RAR archives, zip archives whose headers lie or
whose names are hostile, and PDFs whose pages are not one picture. Each is written from its format's public
description.

    make_test_files.py rar4|rar5 OUT FOLDER         every file below FOLDER, stored, by its path there
    make_test_files.py zip-names OUT NAME...        one small entry under each name, exactly as given
    make_test_files.py zip-lying OUT SIZE CLAIM     one deflated entry of SIZE bytes whose headers claim CLAIM
    make_test_files.py zip-many OUT COUNT           COUNT empty entries
    make_test_files.py pdf KIND OUT JPEG            page 1 the JPEG picture over the whole page, page 2 of KIND
                                                    (text, shapes, two-pictures, jbig2, ccitt, margins)
"""
import os
import struct
import sys
import zipfile
import zlib


def rar4(members):
    """A RAR 4 archive: marker block, archive header, one file header per member (stored: method 0x30, host
    Unix), end-of-archive block. Each header's CRC is the low 16 bits of the CRC-32 of the header from its type."""
    def block(head_type, flags, body, data=b''):
        head = struct.pack('<BHH', head_type, flags, 7 + len(body)) + body
        return struct.pack('<H', zlib.crc32(head) & 0xFFFF) + head + data

    out = bytearray(b'Rar!\x1a\x07\x00')
    out += block(0x73, 0, struct.pack('<HI', 0, 0))
    for name, data in members:
        encoded = name.encode()
        # PACK_SIZE, UNP_SIZE, HOST_OS, FILE_CRC, FTIME, UNP_VER, METHOD, NAME_SIZE, ATTR
        body = struct.pack('<IIBIIBBHI', len(data), len(data), 3, zlib.crc32(data), 0x5A210000, 29, 0x30,
                           len(encoded), 0o100644)
        out += block(0x74, 0x8000, body + encoded, data)  # 0x8000: the block is followed by data
    out += block(0x7B, 0x4000, b'')
    return bytes(out)


def vint(value):
    """RAR 5's variable-length integer: 7 bits a byte, low bits first, the high bit set on all but the last."""
    out = bytearray()
    while True:
        byte, value = value & 0x7F, value >> 7
        out.append(byte | (0x80 if value else 0))
        if not value:
            return bytes(out)


def rar5(members):
    """A RAR 5 archive: signature, main header, one file header per member (stored: compression method 0, host
    Unix), end-of-archive header. Each header: CRC-32 of the rest, header size, then its fields."""
    def block(fields, data=b''):
        size = vint(len(fields))
        return struct.pack('<I', zlib.crc32(size + fields)) + size + fields + data

    out = bytearray(b'Rar!\x1a\x07\x01\x00')
    out += block(vint(1) + vint(0) + vint(0))  # main header, no flags, archive flags 0
    for name, data in members:
        encoded = name.encode()
        fields = (vint(2) + vint(0x02) + vint(len(data))  # file header with a data area of len(data) bytes
                  + vint(0x04) + vint(len(data)) + vint(0o100644)  # CRC-32 present, unpacked size, attributes
                  + struct.pack('<I', zlib.crc32(data))
                  + vint(0) + vint(1)  # compression: version 0, stored; host: Unix
                  + vint(len(encoded)) + encoded)
        out += block(fields, data)
    out += block(vint(5) + vint(0) + vint(0))
    return bytes(out)


def files_below(folder):
    members = []
    for top, folders, names in os.walk(folder):
        folders.sort()
        for name in sorted(names):
            path = os.path.join(top, name)
            with open(path, 'rb') as f:
                members.append((os.path.relpath(path, folder), f.read()))
    return members


def zip_lying(out, size, claim):
    data = b'\xff\xd8\xff' + bytes(size - 3)
    with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as archive:
        archive.writestr('001.jpg', data)
    patched = bytearray(open(out, 'rb').read())
    struct.pack_into('<I', patched, 22, claim)  # local header: uncompressed size
    central = patched.find(b'PK\x01\x02')
    struct.pack_into('<I', patched, central + 24, claim)  # central directory: uncompressed size
    open(out, 'wb').write(patched)


def pdf(objects):
    """A PDF of the given objects (bodies; object n is objects[n-1]) whose catalog is object 1 and page tree
    object 2, with a cross-reference table."""
    out = bytearray(b'%PDF-1.4\n')
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b'%d 0 obj\n' % number + body + b'\nendobj\n'
    xref = len(out)
    out += b'xref\n0 %d\n0000000000 65535 f \n' % (len(objects) + 1)
    for offset in offsets:
        out += b'%010d 00000 n \n' % offset
    out += b'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' % (len(objects) + 1, xref)
    return bytes(out)


def stream(dictionary, data):
    return b'<< %s /Length %d >>\nstream\n' % (dictionary, len(data)) + data + b'\nendstream'


def bad_page_pdf(kind, jpeg):
    """Two pages of 100 x 100 points: the first shows the JPEG picture over the whole page; the second is of
    `kind`."""
    image = b'/Type /XObject /Subtype /Image /Width 100 /Height 100 /ColorSpace /DeviceRGB /BitsPerComponent 8'
    fills = b'q 100 0 0 100 0 0 cm /Im0 Do Q'
    second_content, second_images = {
        'text': (b'BT /F1 12 Tf 10 50 Td (Hello) Tj ET', {}),
        'shapes': (b'0 0 1 rg 10 10 80 80 re f', {}),
        'two-pictures': (b'q 50 0 0 100 0 0 cm /Im0 Do Q q 50 0 0 100 50 0 cm /Im1 Do Q',
                         {b'Im0': (image + b' /Filter /DCTDecode', jpeg),
                          b'Im1': (image + b' /Filter /DCTDecode', jpeg)}),
        'jbig2': (fills, {b'Im0': (b'/Type /XObject /Subtype /Image /Width 100 /Height 100 /ColorSpace /DeviceGray '
                                   b'/BitsPerComponent 1 /Filter /JBIG2Decode', b'\x00' * 16)}),
        'ccitt': (fills, {b'Im0': (b'/Type /XObject /Subtype /Image /Width 100 /Height 100 /ColorSpace /DeviceGray '
                                   b'/BitsPerComponent 1 /Filter /CCITTFaxDecode', b'\x00' * 16)}),
        'margins': (b'q 50 0 0 50 25 25 cm /Im0 Do Q', {b'Im0': (image + b' /Filter /DCTDecode', jpeg)}),
    }[kind]
    objects = [b'<< /Type /Catalog /Pages 2 0 R >>', b'']
    kids = []
    for content, images in ((fills, {b'Im0': (image + b' /Filter /DCTDecode', jpeg)}),
                            (second_content, second_images)):
        names = b''
        for name, (dictionary, data) in images.items():
            objects.append(stream(dictionary, data))
            names += b'/%s %d 0 R ' % (name, len(objects))
        objects.append(stream(b'', content))
        contents = len(objects)
        objects.append(b'<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents %d 0 R '
                       b'/Resources << /XObject << %s>> /Font << /F1 << /Type /Font /Subtype /Type1 '
                       b'/BaseFont /Helvetica >> >> >> >>' % (contents, names))
        kids.append(b'%d 0 R' % len(objects))
    objects[1] = b'<< /Type /Pages /Kids [%s] /Count %d >>' % (b' '.join(kids), len(kids))
    return pdf(objects)


def main(command, *arguments):
    if command in ('rar4', 'rar5'):
        out, folder = arguments
        data = (rar4 if command == 'rar4' else rar5)(files_below(folder))
        open(out, 'wb').write(data)
    elif command == 'zip-names':
        with zipfile.ZipFile(arguments[0], 'w') as archive:
            for name in arguments[1:]:
                archive.writestr(zipfile.ZipInfo(name), b'\xff\xd8\xff')
    elif command == 'zip-lying':
        zip_lying(arguments[0], int(arguments[1]), int(arguments[2]))
    elif command == 'zip-many':
        with zipfile.ZipFile(arguments[0], 'w') as archive:
            for number in range(int(arguments[1])):
                archive.writestr('%05d.txt' % number, b'')
    elif command == 'pdf':
        kind, out, jpeg = arguments
        open(out, 'wb').write(bad_page_pdf(kind, open(jpeg, 'rb').read()))
    else:
        sys.exit('unknown command ' + command)


if __name__ == '__main__':
    main(*sys.argv[1:])
