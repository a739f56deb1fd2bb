#include "pictures/byte_output.h"
#include "pictures/picture_check.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"
#include "preview/preview_picture.h"

#include "tests/pictures/test_pictures.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QFile>
#include <QRandomGenerator>

#include <thread>

namespace {

const QSize kBox(140, 168);

// Takes the book's picture and keeps nothing of it.
class NoOutput : public ByteOutput {
public:
    void Write(const void*, std::size_t) override {}
};

// Keeps the book's picture in memory.
class MemoryOutput : public ByteOutput {
public:
    void Write(const void* data, std::size_t length) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(length));
    }

    QByteArray bytes;
};

class PictureCheckTest : public TempFolderTest {
protected:
    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = PathIn(name);
        WriteTestFile(path, bytes);
        return path;
    }

    // PhotoImage of 600 x 400 as a TIFF picture deflated in strips, by libtiff's own tool.
    QByteArray PhotoTiff()
    {
        const QString photo = PathIn("photo.ppm");
        PhotoImage({600, 400}).save(photo, "PPM");
        EXPECT_EQ(RunProgram("ppm2tiff", {"-c", "zip", photo, PathIn("photo.tif")}), 0);
        return ReadTestFile(PathIn("photo.tif"));
    }

    // The reason the staging of a book refuses the picture for: its inspection, the proof that it is whole, the
    // making of the book's picture. Empty when it takes the picture.
    static std::string BookRefusal(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const PictureSource source(file.handle(), file.size());
        try {
            const PictureInfo info = InspectPicture(source);
            CheckPictureWhole(source, info);
            NoOutput output;
            PrepareForBook(source, info, output);
        } catch (const PictureError& error) {
            return error.what();
        }
        return "";
    }

    // The reason the window's preview refuses the picture for; empty when it shows it.
    static std::string PreviewRefusal(const QString& path)
    {
        try {
            EXPECT_TRUE(MakePreviewPicture(path, kBox).has_value());
        } catch (const PictureError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(PictureCheckTest, DamagedPicturesAreRefusedByTheBookAndThePreviewForOneReason)
{
    const QByteArray photo = MakePhotoJpeg({1200, 900});
    const QString sequential = WriteFile("sequential.jpg", photo);
    const QByteArray restarts = ProgramOutput("jpegtran", {"-restart", "1", sequential});
    QRandomGenerator noise(3);
    QByteArray rows(1000, Qt::Uninitialized);
    noise.fillRange(reinterpret_cast<quint32*>(rows.data()), rows.size() / 4);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"a JPEG picture with 64 KiB zeroed", Zeroed(photo), picture_reason::kDamaged},
        {"a progressive one", Zeroed(MakePhotoJpeg({1200, 900}, true)), picture_reason::kDamaged},
        {"one with restart markers", Zeroed(restarts), picture_reason::kDamaged},
        {"one cut short", photo.left(photo.size() / 2), picture_reason::kCutShort},
        // Proven by their turn: losslessly where the size allows, else decoded and encoded again.
        {"one to be turned", WithExifOrientation(Zeroed(MakePhotoJpeg({1200, 912})), 6), picture_reason::kDamaged},
        {"one with partial blocks", WithExifOrientation(Zeroed(photo), 6), picture_reason::kDamaged},
        {"a PNG picture with a byte of its pixel data changed",
         WithPixelByteChanged(ReadTestFile(WriteFile("noise.png", MakeEveryKind({16, 16}, PathIn("made"))[2].bytes))),
         picture_reason::kDamaged},
        {"a PNG picture of 100000 x 100000 pixels with 1,000 bytes of data", PngOf({100000, 100000}, rows),
         picture_reason::kDamaged},
        {"a GIF picture of 65535 x 65535 pixels with one pixel of data", OnePixelGif({65535, 65535}),
         picture_reason::kDamaged},
        // Proven by its conversion, which used to leave the strips that do not decode blank.
        {"a deflated TIFF picture with 64 KiB zeroed", Zeroed(PhotoTiff()), picture_reason::kDamaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile("damaged", c.bytes);
        EXPECT_EQ(BookRefusal(path), c.reason);
        EXPECT_EQ(PreviewRefusal(path), c.reason);
    }
}

TEST_F(PictureCheckTest, WholePicturesAreTakenWhateverCamerasPutAfterTheirData)
{
    const QByteArray photo = MakePhotoJpeg({1200, 900});
    const QString sequential = WriteFile("sequential.jpg", photo);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a JPEG picture", photo},
        {"a progressive one", MakePhotoJpeg({1200, 900}, true)},
        {"one with restart markers", ProgramOutput("jpegtran", {"-restart", "1", sequential})},
        {"one with stray bytes before its end", photo.chopped(2) + QByteArray("\0\x7F\xFF\xD9", 4)},
        {"a phone's motion photo", photo + QByteArray(200'000, '\x5A') + "ftypmp42"},
        {"one to be turned", WithExifOrientation(MakePhotoJpeg({1200, 912}), 6)},
        {"one to be turned with stray bytes before its end",
         WithExifOrientation(MakePhotoJpeg({1200, 912}).chopped(2) + QByteArray("\0\x7F\xFF\xD9", 4), 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteFile("whole", c.bytes);
        EXPECT_EQ(BookRefusal(path), "");
        EXPECT_EQ(PreviewRefusal(path), "");
    }
    for (const TestPicture& picture : MakeEveryKind({64, 48}, PathIn("made"))) {
        SCOPED_TRACE(picture.name.toStdString());
        const QString path = WriteFile("whole", picture.bytes);
        EXPECT_EQ(BookRefusal(path), "");
        EXPECT_EQ(PreviewRefusal(path), "");
    }
}

TEST_F(PictureCheckTest, PicturesAreCheckedAndPreparedOnSeveralThreadsAtOnce)
{
    // Every kind at once, each on threads of its own, as the packing workers take them: each thread's book picture
    // is the one a single thread makes, and the damaged picture is refused on each thread for the same reason.
    std::vector<QByteArray> pictures;
    for (const TestPicture& picture : MakeEveryKind({64, 48}, PathIn("made"))) {
        pictures.push_back(picture.bytes);
    }
    pictures.push_back(WithExifOrientation(MakePhotoJpeg({120, 90}), 6));
    pictures.push_back(Zeroed(MakePhotoJpeg({1200, 900})));
    const auto prepared = [](const QByteArray& bytes) {
        const PictureSource source(bytes);
        try {
            const PictureInfo info = InspectPicture(source);
            CheckPictureWhole(source, info);
            MemoryOutput output;
            PrepareForBook(source, info, output);
            return output.bytes;
        } catch (const PictureError& error) {
            return QByteArray("refused: ") + error.what();
        }
    };
    std::vector<QByteArray> alone;
    for (const QByteArray& picture : pictures) {
        alone.push_back(prepared(picture));
    }
    constexpr int kThreadsPerPicture = 3;
    std::vector<QByteArray> together(pictures.size() * kThreadsPerPicture);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < together.size(); ++i) {
        threads.emplace_back([&, i] {
            for (int round = 0; round < 5; ++round) {
                together[i] = prepared(pictures[i % pictures.size()]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t i = 0; i < together.size(); ++i) {
        EXPECT_EQ(together[i], alone[i % pictures.size()]) << "picture " << i % pictures.size();
    }
    EXPECT_EQ(alone.back(), QByteArray("refused: the picture is damaged"));
}

}  // namespace
