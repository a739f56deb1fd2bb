"""Writes a seed corpus for the zip directory fuzzer: small archives of the kinds the reader meets.

    make_seed_corpus.py FOLDER
"""
import io
import os
import sys
import zipfile


class Unseekable(io.RawIOBase):
    """A stream that cannot go back, so that zipfile follows each entry with a data descriptor."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


def archive(entries, comment=b"", method=zipfile.ZIP_DEFLATED, force_zip64=False):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as z:
        z.comment = comment
        for name, data in entries:
            with z.open(zipfile.ZipInfo(name, (2020, 5, 17, 10, 20, 30)), "w", force_zip64=force_zip64) as f:
                f.write(data)
    return buffer.getvalue()


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    book = [("mimetype", b"application/epub+zip"), ("META-INF/container.xml", b"<container/>"),
            ("OEBPS/page1.html", b"<html/>" * 20), ("OEBPS/empty.txt", b"")]
    streamed = Unseekable()
    with zipfile.ZipFile(streamed, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in book:
            z.writestr(name, data)
    seeds = {
        "empty.zip": archive([]),
        "book.zip": archive(book),
        "stored.zip": archive(book, method=zipfile.ZIP_STORED),
        "comment.zip": archive(book[:2], comment=b"a comment after the end record"),
        "zip64.zip": archive(book, force_zip64=True),
        "descriptors.zip": bytes(streamed.data),
        "many.zip": archive([("f%03d" % i, b"x" * (i % 7)) for i in range(40)]),
    }
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
