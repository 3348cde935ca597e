// Real help files for tests and benchmarks: the corpus beside the repository, unpacked at run time with the
// system's extractor. Everything answers empty when the corpus or the extractor is missing, so callers skip.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace lantern::testsupport {

inline std::filesystem::path CorpusFolder()
{
    return std::filesystem::path(LANTERN_SOURCE_DIR) / ".." / "shared" / "corpus" / "chm";
}

inline const char* SystemExtractor() { return "/usr/lib/p7zip/7z"; }

// The names of the corpus's help files, sorted; empty without corpus or extractor.
inline std::vector<std::string> CorpusChmNames()
{
    std::vector<std::string> names;
    std::error_code ec;
    if (!std::filesystem::exists(SystemExtractor()) || !std::filesystem::is_directory(CorpusFolder(), ec))
        return names;
    for (const auto& f : std::filesystem::directory_iterator(CorpusFolder(), ec))
        if (f.path().extension() == ".chm")
            names.push_back(f.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One corpus help file unpacked into a private temporary folder, removed again with the object.
class TUnpackedChm {
public:
    explicit TUnpackedChm(const std::string& chmName)
    {
        const auto chm = CorpusFolder() / chmName;
        std::error_code ec;
        if (!std::filesystem::exists(SystemExtractor()) || !std::filesystem::is_regular_file(chm, ec) ||
            !dir_.isValid())
            return;
        QProcess unpack;
        unpack.setStandardOutputFile(QProcess::nullDevice());
        unpack.setStandardErrorFile(QProcess::nullDevice());
        unpack.start(QString::fromUtf8(SystemExtractor()),
                     {"x", "-y", "-tChm", "-o" + dir_.path(), QString::fromStdString(chm.string())});
        ok_ = unpack.waitForFinished(-1) && unpack.exitStatus() == QProcess::NormalExit && unpack.exitCode() == 0;
    }

    bool Ok() const { return ok_; }
    std::filesystem::path Folder() const { return dir_.path().toStdString(); }

    // Files below the folder whose extension (any case, with the dot) is one of `extensions`, sorted.
    std::vector<std::filesystem::path> Files(std::initializer_list<std::string> extensions) const
    {
        std::vector<std::filesystem::path> files;
        if (!ok_)
            return files;
        for (const auto& f : std::filesystem::recursive_directory_iterator(Folder())) {
            std::string ext = f.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
            if (f.is_regular_file() && std::find(extensions.begin(), extensions.end(), ext) != extensions.end())
                files.push_back(f.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // The largest of those files, or an empty path.
    std::filesystem::path Largest(std::initializer_list<std::string> extensions) const
    {
        std::filesystem::path best;
        std::uintmax_t bestSize = 0;
        for (const auto& f : Files(extensions))
            if (std::filesystem::file_size(f) >= bestSize)
                bestSize = std::filesystem::file_size(f), best = f;
        return best;
    }

private:
    QTemporaryDir dir_;
    bool ok_ = false;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace lantern::testsupport
