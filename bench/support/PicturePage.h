// The benchmark page of 200 pictures: 40 files, PNG, JPEG and GIF, each named five ways (letter case, blanks),
// in paragraphs of text with some of them floating. Written once per run into a folder of its own, beside the
// page file, so pictures load relative to the page as they do from a help file.
#pragma once

#include "tests/support/GifWriter.h"

#include <QImage>
#include <QTemporaryDir>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

namespace lantern::benchsupport {

struct TPicturePage {
    QTemporaryDir Folder;
    std::string Html;
    QString File; // the page itself, in Folder
};

inline std::vector<std::string> WritePicturePageFiles(const QTemporaryDir& folder)
{
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i) {
        std::string name = "pic" + std::to_string(i);
        if (i < 30) {
            QImage image(96, 64, QImage::Format_RGB32);
            for (int y = 0; y < 64; ++y)
                for (int x = 0; x < 96; ++x)
                    image.setPixel(x, y, qRgb((x * 7 + i * 30) & 255, (y * 5 + i * 11) & 255, (x * y + i) & 255));
            name += i < 20 ? ".png" : ".jpg";
            image.save(folder.filePath(QString::fromStdString(name)));
        } else {
            const testsupport::Bytes bytes = testsupport::NoisyStillGif(64, 48, unsigned(i), i % 2 == 1);
            name += ".gif";
            std::ofstream(folder.filePath(QString::fromStdString(name)).toStdString(), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        names.push_back(name);
    }
    return names;
}

inline const TPicturePage& PicturePage()
{
    static const TPicturePage page = [] {
        TPicturePage built;
        const std::vector<std::string> names = WritePicturePageFiles(built.Folder);
        std::string html = "<html><body><h1>Pictures</h1>";
        for (int i = 0; i < 200; ++i) {
            if (i % 5 == 0)
                html += "<p>A paragraph of text that wraps around and between the pictures standing in it; ";
            std::string name = names[std::size_t(i % 40)];
            const int way = i / 40;
            if (way % 2)
                for (char& c : name)
                    c = char(std::toupper(static_cast<unsigned char>(c)));
            const std::string src = way >= 3 ? " " + name + " " : name;
            html += "<img src=\"" + src + "\"" + (i % 10 == 3 ? " align=left" : "") + " alt=\"picture\"> words ";
            if (i % 5 == 4)
                html += "and the end of the paragraph.</p>";
        }
        built.Html = html + "</body></html>";
        built.File = built.Folder.filePath(QStringLiteral("page.htm"));
        std::ofstream(built.File.toStdString(), std::ios::binary).write(built.Html.data(), std::streamsize(built.Html.size()));
        return built;
    }();
    return page;
}

} // namespace lantern::benchsupport
