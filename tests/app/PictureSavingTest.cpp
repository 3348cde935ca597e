#include "app/PictureSaving.h"
#include "app/ViewForm.h"
#include "tests/app/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMenu>

#include <cstdlib>

namespace {

// Few colours in blocks, odd sizes: every format must keep it exactly but JPEG.
QImage BlockPicture()
{
    QImage picture(37, 23, QImage::Format_RGB32);
    const QRgb colors[] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 250), qRgb(20, 20, 20)};
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, colors[(x / 8 + y / 6) % 5]);
    return picture;
}

// Over 3000 colours, more than a GIF holds, under a white band that a reduction must keep white.
QImage GradientPicture()
{
    QImage picture(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            picture.setPixel(x, y, y < 8 ? qRgb(255, 255, 255) : qRgb(x * 4, y * 4, 128));
    return picture;
}

// How far the pictures differ in one channel: at most and on average.
struct TDifference {
    int Largest = 0;
    double Mean = 0;
};

TDifference DifferenceOf(const QImage& A, const QImage& B)
{
    TDifference difference;
    double sum = 0;
    for (int y = 0; y < A.height(); ++y)
        for (int x = 0; x < A.width(); ++x) {
            const QRgb a = A.pixel(x, y);
            const QRgb b = B.pixel(x, y);
            for (const int d : {qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b)}) {
                difference.Largest = std::max(difference.Largest, std::abs(d));
                sum += std::abs(d);
            }
        }
    difference.Mean = sum / (3.0 * A.width() * A.height());
    return difference;
}

TEST(SavePicture, EachFormatReadsBackAsThePictureShown)
{
    struct Case {
        TPictureFormat Format;
        const char* Picture;
        int Largest; // difference of one channel
        double Mean;
    };
    // JPEG blurs the blocks' hard colour edges; GIF reduces the gradient to 256 colours.
    const Case cases[] = {
        {TPictureFormat::Bmp, "blocks", 0, 0},       {TPictureFormat::Png, "blocks", 0, 0},
        {TPictureFormat::Gif, "blocks", 0, 0},       {TPictureFormat::Jpeg, "blocks", 255, 16},
        {TPictureFormat::Png, "gradient", 0, 0},     {TPictureFormat::Gif, "gradient", 64, 5},
        {TPictureFormat::Jpeg, "gradient", 64, 2},
    };
    QTemporaryDir folder;
    for (const Case& c : cases) {
        const QImage picture = std::string_view(c.Picture) == "blocks" ? BlockPicture() : GradientPicture();
        const QString path = folder.filePath(QString::fromLatin1(c.Picture) + ExtOfPictureFormat(c.Format));
        SavePicture(picture, c.Format, path);
        QImageReader reader(path);
        const QByteArray expectedFormat = c.Format == TPictureFormat::Jpeg ? "jpeg"
                                          : c.Format == TPictureFormat::Bmp ? "bmp"
                                          : c.Format == TPictureFormat::Png ? "png"
                                                                            : "gif";
        EXPECT_EQ(reader.format(), expectedFormat) << path.toStdString();
        const QImage read = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(read.size(), picture.size()) << path.toStdString();
        const TDifference difference = DifferenceOf(read, picture);
        EXPECT_LE(difference.Largest, c.Largest) << path.toStdString();
        EXPECT_LE(difference.Mean, c.Mean) << path.toStdString();
        if (c.Format != TPictureFormat::Jpeg) {
            EXPECT_EQ(read.pixel(3, 3), picture.pixel(3, 3)) << path.toStdString() << ": the colour of a large area is kept";
        }
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), std::size(cases))
        << "no temporary file stays behind";
}

TEST(SavePicture, AFailedSaveLeavesTheOldFileAndNoOther)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("huge.gif"));
    WriteFile(path, "old");
    EXPECT_THROW(SavePicture(QImage(70000, 1, QImage::Format_RGB32), TPictureFormat::Gif, path), std::runtime_error);
    EXPECT_THROW(SavePicture(BlockPicture(), TPictureFormat::Png, folder.filePath(QStringLiteral("no/such.png"))),
                 std::runtime_error);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("huge.gif")});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "old");
}

// The window with a help file open and a picture picked from its page.
class PictureMenuTest : public ViewFormTest {
protected:
    QTemporaryDir Saved;
    std::unique_ptr<TViewForm> FormWithPicture()
    {
        WriteFile(Payload + QStringLiteral("/index.html"), "<p>page</p>");
        auto form = Form({DocumentNamed("a.chm")});
        form->PickedImage = platform::Bitmap::FromImage(BlockPicture());
        return form;
    }
};

TEST_F(PictureMenuTest, TheSaveDialogSwitchesFilterAndExtensionWithTheFormat)
{
    const auto form = FormWithPicture();
    QAction* const items[] = {form->SaveAsJPGMenuItem, form->SaveAsPNGMenuItem, form->SaveAsPNGMenuItem,
                              form->SaveAsBMPMenuItem, form->SaveAsGIF1};
    for (QAction* item : items)
        item->trigger(); // each dialog is cancelled
    EXPECT_EQ(Answers.Asked, (QStringList{
                                 QStringLiteral("Save: JPG/JPEG Files (*.jpg *.jpeg) .jpg"),
                                 QStringLiteral("Save: PNG Files (*.png) .png"),
                                 QStringLiteral("Save: PNG Files (*.png) .png"),
                                 QStringLiteral("Save: BMP Files (*.bmp) .bmp"),
                                 QStringLiteral("Save: GIF Files (*.gif) .gif"),
                             }));
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_TRUE(QDir(Saved.path()).isEmpty());
}

TEST_F(PictureMenuTest, AnExistingFileIsReplacedOnlyAfterYes)
{
    const auto form = FormWithPicture();
    const QString path = Saved.filePath(QStringLiteral("picture.png"));
    const QString question =
        QStringLiteral("Confirm: The image file \"%1\" file already exists. Do you want to overwrite it?").arg(path);
    Answers.SaveFile = path;
    form->SaveAsPNGMenuItem->trigger();
    EXPECT_TRUE(Log.isEmpty()) << "a new file is written without a question";
    EXPECT_EQ(QImage(path).size(), BlockPicture().size());

    WriteFile(path, "old");
    ConfirmAnswer = false;
    form->SaveAsPNGMenuItem->trigger();
    EXPECT_EQ(Log, QStringList{question});
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old");
    old.close();

    ConfirmAnswer = true;
    Log.clear();
    form->SaveAsPNGMenuItem->trigger();
    EXPECT_EQ(Log, QStringList{question});
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), BlockPicture());
}

TEST_F(PictureMenuTest, AFailedSaveIsReported)
{
    const auto form = FormWithPicture();
    Answers.SaveFile = Saved.filePath(QStringLiteral("gone/picture.bmp"));
    form->SaveAsBMPMenuItem->trigger();
    ASSERT_EQ(Log.size(), 1);
    EXPECT_TRUE(Log.front().startsWith(QStringLiteral("Failure: Cannot write"))) << Log.front().toStdString();
    EXPECT_FALSE(QApplication::overrideCursor()) << "the hourglass is gone";
}

TEST_F(PictureMenuTest, RightClickOpensTheMenuOnlyOnAPictureWithABitmap)
{
    const auto form = FormWithPicture();
    form->PickedImage.reset();
    form->show();
    // The picture objects are the page's; the test only needs distinct addresses to tell them apart.
    alignas(std::max_align_t) std::byte shown[8];
    alignas(std::max_align_t) std::byte missing[8];
    auto* shownObject = reinterpret_cast<TImageObj*>(shown);
    form->PictureOfObject = [&](const TImageObj& Object) -> std::optional<platform::Bitmap> {
        if (&Object == shownObject)
            return platform::Bitmap::FromImage(BlockPicture());
        return std::nullopt; // the placeholder of a missing picture
    };
    TRightClickParameters parameters;
    form->Viewer->OnRightClick(*form->Viewer, parameters);
    parameters.PictureObject = reinterpret_cast<TImageObj*>(missing);
    form->Viewer->OnRightClick(*form->Viewer, parameters);
    EXPECT_FALSE(form->PopupMenu->isVisible());
    EXPECT_FALSE(form->PickedImage);

    parameters.PictureObject = shownObject;
    form->Viewer->OnRightClick(*form->Viewer, parameters);
    EXPECT_TRUE(form->PopupMenu->isVisible());
    ASSERT_TRUE(form->PickedImage);
    form->PopupMenu->hide();

    form->CopyImageMenuItem->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), BlockPicture());

    form->CloseDocument();
    EXPECT_FALSE(form->PickedImage) << "the picture belonged to the closed document";
    form->Viewer->OnRightClick(*form->Viewer, parameters);
    EXPECT_FALSE(form->PopupMenu->isVisible()) << "no document: no menu";
    EXPECT_TRUE(Log.isEmpty());
}

} // namespace
