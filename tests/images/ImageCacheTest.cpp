// The document's picture fetch and its cache: sharing by source, ageing and eviction, data urls, the host's
// answers, and what each kind of file decodes to.
#include "images/DocumentImage.h"
#include "images/GifImage.h"
#include "images/ImageLoader.h"

#include "tests/support/GifWriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace lantern;
using namespace lantern::testsupport;

namespace {

Bytes OnePixelGif(std::uint8_t index, int transparent = -1)
{
    GifPlan plan;
    GifFrame f;
    f.Pixels = {index};
    f.Transparent = transparent;
    plan.Frames = {f};
    return WriteGif(plan);
}

Bytes TwoFrameGif()
{
    GifPlan plan;
    GifFrame f;
    f.Pixels = {1};
    plan.Frames = {f, f};
    return WriteGif(plan);
}

// A picture written by the platform's writer in the given format.
Bytes Encoded(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format;
    return Bytes(data.begin(), data.end());
}

// 2 x 2: red, with a blue bottom-left pixel.
QImage CornerPicture()
{
    QImage img(2, 2, QImage::Format_RGB32);
    img.fill(qRgb(255, 0, 0));
    img.setPixel(0, 1, qRgb(0, 0, 255));
    return img;
}

u16 Base64Of(const Bytes& bytes)
{
    const QByteArray b64 = QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())).toBase64();
    return u16(b64.begin(), b64.end());
}

// A folder of picture files for the fetch to find.
class PictureFolder {
public:
    u16 Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = dir_.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return FromUtf8(path);
    }
    u16 Path(const std::string& name) const { return FromUtf8(dir_.path().toStdString() + "/" + name); }

private:
    QTemporaryDir dir_;
};

} // namespace

TEST(ImageLoader, FormatFromTheFirstBytes)
{
    struct Case {
        Bytes bytes;
        ImageFormat format;
    } cases[] = {
        {{'G', 'I', 'F', '8', '9', 'a'}, ImageFormat::Gif},  {{0x89, 'P', 'N', 'G'}, ImageFormat::Png},
        {{'B', 'M', 0, 0}, ImageFormat::Bitmap},             {{0xFF, 0xD8, 0xFF, 0xE0}, ImageFormat::Jpeg},
        {{'G', 'I', 'F', '7'}, ImageFormat::Other},          {{'B', 'M', 0}, ImageFormat::Other},
        {{0xD7, 0xCD, 0xC6, 0x9A}, ImageFormat::Other},      {{}, ImageFormat::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectImageFormat(c.bytes), c.format) << c.bytes.size();
}

TEST(ImageLoader, EachFormatDecodesToItsKind)
{
    const QImage corner = CornerPicture();
    QImage alpha(3, 2, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 255, 128));
    const Bytes png = Encoded(alpha, "png");
    struct Case {
        const char* what;
        Bytes bytes;
        TransparencyKind asked;
        std::optional<ImageKind> kind;
        bool mask;
        TransparencyKind reported;
    } cases[] = {
        {"3 bytes", {'B', 'M', 0}, TransparencyKind::None, std::nullopt, false, TransparencyKind::None},
        {"garbage", Bytes(100, 0x55), TransparencyKind::None, std::nullopt, false, TransparencyKind::None},
        {"metafile", {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0}, TransparencyKind::None, std::nullopt, false, TransparencyKind::None},
        {"broken gif", {'G', 'I', 'F', '8', '9', 'a', 1}, TransparencyKind::None, std::nullopt, false, TransparencyKind::None},
        {"one frame", OnePixelGif(1), TransparencyKind::None, ImageKind::Bitmap, false, TransparencyKind::None},
        {"one frame, corner", OnePixelGif(1), TransparencyKind::Corner, ImageKind::Bitmap, true, TransparencyKind::Corner},
        {"one frame, transparent", OnePixelGif(1, 1), TransparencyKind::None, ImageKind::Bitmap, true, TransparencyKind::Mask},
        {"two frames", TwoFrameGif(), TransparencyKind::None, ImageKind::Gif, false, TransparencyKind::None},
        {"bmp", Encoded(corner, "bmp"), TransparencyKind::None, ImageKind::Bitmap, false, TransparencyKind::None},
        {"bmp, corner", Encoded(corner, "bmp"), TransparencyKind::Corner, ImageKind::Bitmap, true, TransparencyKind::Corner},
        {"jpeg, corner asked", Encoded(corner, "jpeg"), TransparencyKind::Corner, ImageKind::Bitmap, false, TransparencyKind::None},
        {"png", png, TransparencyKind::Corner, ImageKind::GpImage, false, TransparencyKind::None},
        {"tiff", Encoded(alpha, "tiff"), TransparencyKind::None, ImageKind::GpImage, false, TransparencyKind::None},
        {"truncated png", Bytes(png.begin(), png.begin() + 30), TransparencyKind::None,
         std::nullopt, false, TransparencyKind::None},
    };
    for (const Case& c : cases) {
        TDecodedImage d = DecodeImageStream(c.bytes, c.asked);
        ASSERT_EQ(d.Image != nullptr, c.kind.has_value()) << c.what;
        if (!d.Image)
            continue;
        EXPECT_EQ(d.Image->Kind(), *c.kind) << c.what;
        EXPECT_EQ(d.Mask != nullptr, c.mask) << c.what;
        EXPECT_EQ(d.Transparency, c.reported) << c.what;
    }
    // The corner mask of the bitmap is its blue bottom-left pixel; the PNG keeps its alpha.
    TDecodedImage bmp = DecodeImageStream(Encoded(corner, "bmp"), TransparencyKind::Corner);
    EXPECT_TRUE(bmp.Mask->IsTransparent(0, 1));
    EXPECT_FALSE(bmp.Mask->IsTransparent(1, 1));
    TDecodedImage alphaPicture = DecodeImageStream(png, TransparencyKind::None);
    EXPECT_TRUE(static_cast<TGpImage&>(*alphaPicture.Image).Pixels.HasAlpha());
    EXPECT_EQ(ImageWidthOf(alphaPicture.Image.get()), 3);
    EXPECT_EQ(ImageHeightOf(alphaPicture.Image.get()), 2);
    EXPECT_THROW(ImageWidthOf(nullptr), EGDIPlus);
}

// A header that claims a picture beyond the platform's bound gives no picture rather than an allocation.
TEST(ImageLoader, GiganticClaimsGiveNoPicture)
{
    Bytes bmp = Encoded(CornerPicture(), "bmp");
    // Width and height of the info header at offsets 18 and 22: 60000 x 60000.
    for (std::size_t at : {std::size_t(18), std::size_t(22)}) {
        bmp[at] = 0x60;
        bmp[at + 1] = 0xEA;
    }
    EXPECT_EQ(DecodeImageStream(bmp, TransparencyKind::None).Image, nullptr);
}

TEST(ImageLoader, DataUrls)
{
    const Bytes gif = OnePixelGif(2);
    const u16 b64 = Base64Of(gif);
    u16 wrappedByEscapes = b64, wrappedByLines = b64;
    wrappedByEscapes.insert(10, u"%0A");
    wrappedByEscapes.insert(4, u"%0a");
    wrappedByLines.insert(7, u"\r\n");
    u16 escaped = b64;
    ReplaceAll(escaped, u"+", u"%2B");
    ReplaceAll(escaped, u"/", u"%2F");
    struct Case {
        u16 url;
        bool decodes;
    } cases[] = {
        {u"data:image/gif;base64," + b64, true},
        {u"  DATA:IMAGE/GIF;BASE64," + b64 + u"  ", true},
        {u"data:image/gif;base64," + wrappedByEscapes, true},
        {u"data:image/gif;base64," + wrappedByLines, true},
        {u"data:image/gif;base64," + escaped, true},
        {u"data:image/gif," + b64, false},
        {u"data:text/plain;base64," + b64, false},
    };
    for (const Case& c : cases) {
        const auto bytes = DataUrlBytes(c.url);
        EXPECT_EQ(bytes.has_value() && *bytes == gif, c.decodes) << ToUtf8(c.url);
    }
    // Padding ends the data; a lone last unit carries no whole byte.
    EXPECT_EQ(*DataUrlBytes(u"data:image/x;base64,QUJD"), (Bytes{'A', 'B', 'C'}));
    EXPECT_EQ(*DataUrlBytes(u"data:image/x;base64,QUI=QUJD"), (Bytes{'A', 'B'}));
    EXPECT_EQ(*DataUrlBytes(u"data:image/x;base64,QQ"), (Bytes{'A'}));
    EXPECT_EQ(*DataUrlBytes(u"data:image/x;base64,QUJDR"), (Bytes{'A', 'B', 'C'}));
}

TEST(DocumentImage, SourcesDifferingInCaseAndBlanksShareOneItem)
{
    PictureFolder folder;
    const u16 path = folder.Write("Pic.gif", OnePixelGif(1));
    TStringBitmapList cache;
    const TImageHost host;
    const TImageFetch first = GetDocumentImage(cache, host, path, TransparencyKind::None);
    ASSERT_NE(first.Image, nullptr);
    EXPECT_FALSE(first.FromCache);
    const u16 other = u"  " + UpperUnits(path) + u" \t";
    const TImageFetch second = GetDocumentImage(cache, host, other, TransparencyKind::None);
    EXPECT_TRUE(second.FromCache);
    EXPECT_EQ(second.Image, first.Image);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(cache.Item(0).UsageCount, 2);
    EXPECT_EQ(GetDocumentImage(cache, host, u"  ", TransparencyKind::None).Image, nullptr);
    EXPECT_EQ(GetDocumentImage(cache, host, folder.Path("missing.gif"), TransparencyKind::None).Image, nullptr);
    EXPECT_EQ(cache.Count(), 1);
}

// Base64 is case-sensitive: inline pictures whose data differs only in letter case are different pictures.
TEST(DocumentImage, DataUrlsKeyOnTheirExactData)
{
    TStringBitmapList cache;
    const TImageHost host;
    const u16 url = u"data:image/gif;base64," + Base64Of(OnePixelGif(1));
    u16 flipped = url;
    // Flip the case of the data's last letters, which changes the bytes they stand for.
    std::size_t changed = 0;
    for (std::size_t i = flipped.size(); i-- > 30 && changed < 4;)
        if ((flipped[i] >= u'a' && flipped[i] <= u'z') || (flipped[i] >= u'A' && flipped[i] <= u'Z')) {
            flipped[i] ^= 0x20;
            ++changed;
        }
    ASSERT_GT(changed, 0u);
    EXPECT_NE(GetDocumentImage(cache, host, url, TransparencyKind::None).Image, nullptr);
    GetDocumentImage(cache, host, flipped, TransparencyKind::None);
    EXPECT_EQ(cache.Find(url), cache.Find(u"DATA:IMAGE/GIF;BASE64," + url.substr(22)));
    EXPECT_NE(cache.Find(url), cache.Find(flipped));
    EXPECT_EQ(GetDocumentImage(cache, host, u"data:image/gif," + url.substr(22), TransparencyKind::None).Image, nullptr);
}

TEST(DocumentImage, AgeingEvictsOnlyUnusedPictures)
{
    TStringBitmapList cache;
    const TImageHost host;
    cache.SetMaxAge(5);
    const u16 unused = u"data:image/gif;base64," + Base64Of(OnePixelGif(1));
    const u16 used = u"data:image/gif;base64," + Base64Of(OnePixelGif(2));
    GetDocumentImage(cache, host, unused, TransparencyKind::None);
    GetDocumentImage(cache, host, used, TransparencyKind::None);
    cache.ReleaseImage(unused);
    cache.ReleaseImage(unused); // a use given back twice counts once
    for (int load = 1; load <= 5; ++load)
        cache.PurgeImages();
    EXPECT_GE(cache.Find(unused), 0) << "still cached after five loads";
    cache.PurgeImages();
    EXPECT_LT(cache.Find(unused), 0) << "gone at the sixth";
    for (int load = 0; load < 50; ++load)
        cache.PurgeImages();
    EXPECT_GE(cache.Find(used), 0) << "a picture in use is never evicted";

    // Fetching makes a picture young again; a smaller maximum evicts at once what it no longer keeps.
    cache.ReleaseImage(used);
    EXPECT_TRUE(GetDocumentImage(cache, host, used, TransparencyKind::None).FromCache);
    cache.ReleaseImage(used);
    cache.PurgeImages();
    cache.PurgeImages();
    cache.SetMaxAge(2);
    EXPECT_GE(cache.Find(used), 0);
    cache.SetMaxAge(1);
    EXPECT_LT(cache.Find(used), 0);
    EXPECT_EQ(cache.MaxAge(), 1);
}

// A picture first fetched without transparency gets its corner mask when a later element asks for one; a GIF's
// own mask comes back with its kind.
TEST(DocumentImage, CachedBitmapsReportTheirMasks)
{
    TStringBitmapList cache;
    const TImageHost host;
    const u16 bmp = u"data:image/bmp;base64," + Base64Of(Encoded(CornerPicture(), "bmp"));
    EXPECT_EQ(GetDocumentImage(cache, host, bmp, TransparencyKind::None).Mask, nullptr);
    const TImageFetch corner = GetDocumentImage(cache, host, bmp, TransparencyKind::Corner);
    ASSERT_NE(corner.Mask, nullptr);
    EXPECT_TRUE(corner.Mask->IsTransparent(0, 1));
    EXPECT_EQ(cache.Item(cache.Find(bmp)).Transparency, TransparencyKind::Corner);

    const u16 gif = u"data:image/gif;base64," + Base64Of(OnePixelGif(1, 1));
    for (int fetch = 0; fetch < 2; ++fetch) {
        const TImageFetch f = GetDocumentImage(cache, host, gif, TransparencyKind::None);
        EXPECT_EQ(f.Transparency, TransparencyKind::Mask) << fetch;
        ASSERT_NE(f.Mask, nullptr);
        EXPECT_TRUE(f.Mask->IsTransparent(0, 0));
    }
}

TEST(DocumentImage, HostAnswers)
{
    PictureFolder folder;
    const u16 file = folder.Write("file.gif", OnePixelGif(1));
    std::istringstream stream(std::string(reinterpret_cast<const char*>(TwoFrameGif().data()), TwoFrameGif().size()));
    std::vector<u16> told;
    TImageHost host;
    host.StreamRequest = [&](u16v source) -> std::istream* {
        if (source == u"later")
            return &PendingImageStream();
        if (source == u"nothing")
            return &NoImageStream();
        if (source == u"stream")
            return &stream;
        return nullptr;
    };
    host.ImageRequested = [&](u16v source, std::istream&) { told.emplace_back(source); };
    host.ExpandSourceName = [&](u16v source) { return source == u"by-name" ? file : u16(source); };
    TStringBitmapList cache;

    const TImageFetch later = GetDocumentImage(cache, host, u"later", TransparencyKind::None);
    EXPECT_TRUE(later.Pending);
    EXPECT_EQ(later.Image, nullptr);
    EXPECT_EQ(GetDocumentImage(cache, host, u"nothing", TransparencyKind::None).Image, nullptr);
    EXPECT_EQ(cache.Count(), 0) << "nothing cached for a pending or missing picture";

    stream.seekg(3); // the stream is read from its start
    const TImageFetch streamed = GetDocumentImage(cache, host, u"stream", TransparencyKind::None);
    ASSERT_NE(streamed.Image, nullptr);
    EXPECT_EQ(streamed.Image->Kind(), ImageKind::Gif);
    EXPECT_EQ(told, std::vector<u16>{u"stream"});

    const TImageFetch named = GetDocumentImage(cache, host, u"by-name", TransparencyKind::None);
    ASSERT_NE(named.Image, nullptr);
    EXPECT_EQ(named.Image->Kind(), ImageKind::Bitmap);

    // A ready-made bitmap with a transparent colour comes with its mask.
    host.BitmapRequest = [](u16v source) -> std::optional<THostBitmap> {
        if (source != u"bitmap")
            return std::nullopt;
        platform::Bitmap b(2, 1, 0x00FF00);
        b.SetPixel(1, 0, 0x0000FF);
        return THostBitmap{b, Color(0x0000FF)};
    };
    const TImageFetch given = GetDocumentImage(cache, host, u"bitmap", TransparencyKind::None);
    ASSERT_NE(given.Mask, nullptr);
    EXPECT_EQ(given.Transparency, TransparencyKind::Mask);
    EXPECT_FALSE(given.Mask->IsTransparent(0, 0));
    EXPECT_TRUE(given.Mask->IsTransparent(1, 0));
}

// A file named with other letter case than it has on disk is still found, as on the file systems help files
// were written for.
TEST(DocumentImage, FileNamesFoundWhateverTheirCase)
{
    PictureFolder folder;
    folder.Write("Shot.GIF", OnePixelGif(1));
    TStringBitmapList cache;
    EXPECT_NE(GetDocumentImage(cache, TImageHost{}, folder.Path("shot.gif"), TransparencyKind::None).Image, nullptr);
}
