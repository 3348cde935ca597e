// The pictures of real help files: every one loads, and every GIF frame shows what the platform's own GIF
// reader shows for it, pixel for pixel. Skipped when the corpus or the extractor is missing.
#include "images/GifImage.h"
#include "images/ImageLoader.h"

#include "tests/support/Corpus.h"

#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace lantern;
using namespace lantern::testsupport;

namespace {

// Differences between frame `frame` of the strip (through its mask) and the reader's picture of it.
int FrameDifferences(const TGIFImage& gif, int frame, const QImage& reference)
{
    const platform::Bitmap& strip = gif.Strip().Pixels;
    const platform::Mask* mask = gif.Strip().BitMask ? &*gif.Strip().BitMask : nullptr;
    int differences = 0;
    for (int y = 0; y < gif.Height(); ++y)
        for (int x = 0; x < gif.Width(); ++x) {
            const QRgb ref = reference.pixel(x, y);
            const bool clear = mask && mask->IsTransparent(frame * gif.Width() + x, y);
            if (clear != (qAlpha(ref) == 0))
                ++differences;
            else if (!clear && strip.Pixel(frame * gif.Width() + x, y) != Color(qRed(ref) | qGreen(ref) << 8 | qBlue(ref) << 16))
                ++differences;
        }
    return differences;
}

} // namespace

TEST(ImageCorpus, PicturesLoadAndGifFramesMatchThePlatformReader)
{
    const auto names = CorpusChmNames();
    if (names.empty())
        GTEST_SKIP() << "no corpus";
    int gifs = 0, frames = 0, others = 0;
    for (const std::string& name : names) {
        TUnpackedChm chm(name);
        ASSERT_TRUE(chm.Ok()) << name;
        for (const auto& file : chm.Files({".gif", ".png", ".jpg", ".jpeg", ".bmp"})) {
            const std::vector<std::uint8_t> bytes = ReadBytes(file);
            const TDecodedImage picture = DecodeImageStream(bytes, TransparencyKind::None);
            ASSERT_NE(picture.Image, nullptr) << file;
            QImageReader reader(QString::fromStdString(file.string()));
            EXPECT_EQ(QSize(picture.Image->Width(), picture.Image->Height()), reader.size()) << file;
            if (DetectImageFormat(bytes) != ImageFormat::Gif) {
                ++others;
                continue;
            }
            ++gifs;
            const auto gif = LoadGifImage(bytes);
            for (int i = 0; i < gif->FrameCount(); ++i, ++frames) {
                QImage reference;
                ASSERT_TRUE(reader.read(&reference)) << file << " frame " << i;
                reference = reference.convertToFormat(QImage::Format_ARGB32);
                EXPECT_EQ(FrameDifferences(*gif, i, reference), 0) << file << " frame " << i;
            }
        }
    }
    RecordProperty("gifs", gifs);
    RecordProperty("frames", frames);
    RecordProperty("others", others);
    EXPECT_GT(gifs, 0);
}
