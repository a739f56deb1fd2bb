#pragma once

#include "common/file_descriptor.h"

#include <QDateTime>
#include <QString>

#include <vector>

// Where a window keeps the person's work as it goes, so that it can be offered back after a crash, a kill or a
// close with pages in the list: a folder of its own in the state folder, "kept-XXXXXX", whose file "pages.list"
// holds the list in the page list file's form (BookListText). The folder is locked for as long as the window holds
// it; the lock goes with the window's process however that ends, so a folder nobody locks is a window's work left
// behind, for the next window to offer.
class KeptListSlot {
public:
    // No slot.
    KeptListSlot() = default;
    KeptListSlot(KeptListSlot&&) noexcept = default;
    KeptListSlot& operator=(KeptListSlot&&) noexcept = default;
    // Lets the slot go, its list kept there.
    ~KeptListSlot() = default;

    // A new slot in `stateFolder`, made with any missing parent open to its owner only, and locked. Raises
    // BookListError when it cannot be made.
    static KeptListSlot Claim(const QString& stateFolder);

    // The lists that windows left behind in `stateFolder`, newest first, each locked for this window now; slots
    // that another running window holds are not among them. A slot left without a list (its window ended before it
    // wrote one) is removed once it is a minute old; a younger one may be a window's that is just starting.
    static std::vector<KeptListSlot> LeftBehind(const QString& stateFolder);

    bool IsHeld() const;
    // The slot's list file.
    QString ListPath() const;
    // When the list was last written.
    QDateTime KeptAt() const;

    // Removes the slot with its list; then the slot is none.
    void Remove();

private:
    KeptListSlot(QString folder, FileDescriptor lock);

    QString folder_;
    FileDescriptor lock_;
};
