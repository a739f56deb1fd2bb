#include "pages/picture_file_dialog.h"

#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using PictureFileDialogTest = TempFolderTest;

// The names the dialog lists in its folder, once it has read the folder.
QStringList ListedNames(QFileDialog& dialog)
{
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (list == nullptr || model == nullptr) {
        ADD_FAILURE() << "the dialog has no list of files";
        return {};
    }
    const QModelIndex folder = list->rootIndex();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(folder) > 0 && !model->canFetchMore(folder); }));
    QStringList names;
    for (int row = 0; row < model->rowCount(folder); ++row) {
        const QModelIndex index = model->index(row, 0, folder);
        if (!list->isRowHidden(row)) {
            names << index.data().toString();
        }
    }
    names.sort();
    return names;
}

TEST_F(PictureFileDialogTest, TheFilterShowsPicturesWhateverTheCaseOfTheirNamesAndAllFilesOnRequest)
{
    for (const char* name : {"a.jpg", "IMG_0001.JPG", "c.jpeg", "D.JPEG", "e.Jpg", "f.png", "g.jpg.txt", "jpg",
                             "h.HEIC", "i.webp", "j.Tiff", "k.bmp", "l.gif", "m.avif", "notes.txt"}) {
        WriteTestFile(PathIn(name), "x");
    }
    QDir().mkpath(PathIn("folder"));

    QFileDialog dialog;
    SetUpPictureDialog(dialog, PictureCount::Several);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(Root());
    dialog.show();
    EXPECT_EQ(ListedNames(dialog), QStringList({"D.JPEG", "IMG_0001.JPG", "a.jpg", "c.jpeg", "e.Jpg", "f.png", "folder",
                                                "h.HEIC", "i.webp", "j.Tiff", "k.bmp", "l.gif", "m.avif"}));

    // A picture whose name says nothing of it is chosen among all files, and known by its content.
    ASSERT_EQ(dialog.nameFilters().size(), 2);
    dialog.selectNameFilter(dialog.nameFilters()[1]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ListedNames(dialog).size() == 16; }));
}

}  // namespace
