#pragma once

#include <QString>

#include <optional>

// A page's picture is named by a path: a picture file's, or a picture inside a comic archive or PDF, named by the
// container's path, "/" and the member's path inside it ("/home/ann/Vol 1.cbz/Chapter 1/001.jpg",
// "/home/ann/scan.pdf/page 3"). No file can have such a path, since the container is a file and no folder, so the
// page list, the page list file and the command line keep one kind of name for every page.
struct MemberAddress {
    QString container;
    QString member;
};

// The path of the picture `member` inside the comic archive or PDF at `container`.
QString MemberAddressPath(const QString& container, const QString& member);

// The container and member a path names, when it names a picture inside a comic archive or PDF: no file is at the
// path, and a part of it up to a "/" is a comic archive or PDF (known by its first bytes). Nothing otherwise.
std::optional<MemberAddress> MemberAddressOf(const QString& path);
