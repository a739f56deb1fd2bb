"""Reads a zip archive with Python's zipfile and prints what it finds as JSON, for the archive tests.

    zip_inspect.py ARCHIVE            every entry's record, and the result of testzip()
    zip_inspect.py ARCHIVE --summary  the entry count, the first and last names, the number of distinct names
                                      and the result of testzip()
"""
import json
import sys
import zipfile


def raw_name(info):
    # Without the language-encoding flag zipfile decodes names as code page 437, which maps every byte.
    if info.flag_bits & 0x800:
        return info.filename.encode("utf-8")
    return info.orig_filename.encode("cp437")


def describe(info):
    return {
        "name": raw_name(info).decode("utf-8", "replace"),
        "nameHex": raw_name(info).hex(),
        "crc": info.CRC,
        "compressedSize": info.compress_size,
        "size": info.file_size,
        "method": info.compress_type,
        "flags": info.flag_bits,
        "createVersion": info.create_version,
        "createSystem": info.create_system,
        "extractVersion": info.extract_version,
        "externalAttributes": info.external_attr,
        "internalAttributes": info.internal_attr,
        "headerOffset": info.header_offset,
        "extraHex": info.extra.hex(),
        "comment": info.comment.hex(),
    }


def main():
    with zipfile.ZipFile(sys.argv[1]) as archive:
        infos = archive.infolist()
        result = {"count": len(infos), "testzip": archive.testzip(), "comment": archive.comment.hex()}
        if "--summary" in sys.argv[2:]:
            names = [raw_name(info) for info in infos]
            result["first"] = names[0].decode("utf-8", "replace") if names else None
            result["last"] = names[-1].decode("utf-8", "replace") if names else None
            result["distinct"] = len(set(names))
        else:
            result["entries"] = [describe(info) for info in infos]
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
