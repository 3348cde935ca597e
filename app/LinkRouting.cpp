#include "app/LinkRouting.h"

#include "app/ViewForm.h"
#include "platform/FileSystem.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <array>

namespace lantern {

namespace {

constexpr std::array<QLatin1StringView, 2> PageExtensions{QLatin1StringView(".HTML"), QLatin1StringView(".HTM")};
constexpr std::array<QLatin1StringView, 4> SwallowedExtensions{QLatin1StringView(".WAV"), QLatin1StringView(".EXE"),
                                                               QLatin1StringView(".MID"), QLatin1StringView(".AVI")};
// Only these reach the system's handler: any other scheme could start a program or open the reader's files.
constexpr std::array<QLatin1StringView, 3> ShellSchemes{QLatin1StringView("mailto:"), QLatin1StringView("http://"),
                                                        QLatin1StringView("https://")};

template <std::size_t N>
bool IsOneOf(const QString& Ext, const std::array<QLatin1StringView, N>& Table)
{
    for (QLatin1StringView e : Table)
        if (Ext == e)
            return true;
    return false;
}

// No scheme, or a drive letter before the first colon; or a file: URL anywhere.
bool IsLocalLink(const QString& Src)
{
    const qsizetype colon = Src.indexOf(u':');
    return colon < 2 || Src.contains(QLatin1StringView("FILE:"), Qt::CaseInsensitive);
}

// The part the extension is read from: the link up to its first blank, or when it has none up to its first '?'.
QString NameOfLink(const QString& Src)
{
    qsizetype cut = Src.indexOf(u' ');
    if (cut < 0)
        cut = Src.indexOf(u'?');
    return cut < 0 ? Src : Src.left(cut);
}

// From the last dot after the last folder separator or colon, dot included, upper-cased.
QString ExtensionOf(const QString& Name)
{
    const qsizetype folderEnd = std::max({Name.lastIndexOf(u'/'), Name.lastIndexOf(u'\\'), Name.lastIndexOf(u':')});
    const qsizetype dot = Name.lastIndexOf(u'.');
    return dot > folderEnd ? Name.mid(dot).toUpper() : QString();
}

void CollapseSeparators(QString& Path)
{
    while (Path.contains(QLatin1StringView("//")))
        Path.replace(QLatin1StringView("//"), QLatin1StringView("/"));
}

QString WithoutAnchor(const QString& Name)
{
    const qsizetype hash = Name.indexOf(u'#');
    return hash < 0 ? Name : Name.left(hash);
}

// Pages link each other relative to the page last opened this way; one level up always means the root.
TLinkRoute RoutePage(const QString& Src, const QString& TempFolder, const QString& SubFolder)
{
    TLinkRoute route{TLinkAction::OpenPage, {}, {}, SubFolder};
    QString rel = Src;
    if (rel.startsWith(TempFolder))
        rel.remove(0, TempFolder.size());
    rel.replace(u'\\', u'/');
    if (rel.startsWith(QLatin1StringView("./")))
        rel.remove(0, 2);
    if (rel.startsWith(QLatin1StringView("../"))) {
        rel.remove(0, 3);
        route.SubFolder.clear();
    }
    route.Target = TempFolder + route.SubFolder + rel;
    QString dir = rel.left(std::max(rel.lastIndexOf(u'/'), rel.lastIndexOf(u':')) + 1);
    if (dir.startsWith(TempFolder))
        dir.remove(0, TempFolder.size());
    if (!dir.isEmpty())
        route.SubFolder += u'/' + dir;
    if (!route.SubFolder.isEmpty()) {
        CollapseSeparators(route.SubFolder);
        if (route.SubFolder.startsWith(u'/'))
            route.SubFolder.remove(0, 1);
        if (!route.SubFolder.endsWith(u'/'))
            route.SubFolder += u'/';
    }
    CollapseSeparators(route.Target);
    if (!IsInsideFolder(WithoutAnchor(route.Target), TempFolder))
        return {TLinkAction::Refuse, {}, QDir::cleanPath(route.Target), SubFolder};
    return route;
}

TLinkRoute RouteLocal(const QString& Src, const QString& TempFolder, const QString& SubFolder,
                      const std::function<QString(const QString&)>& Expand)
{
    const QString expanded = Expand(NameOfLink(Src));
    // Where the viewer's own handling would look for the link.
    const bool viewerStaysInside =
        TempFolder.isEmpty() || expanded.isEmpty() || IsInsideFolder(WithoutAnchor(expanded), TempFolder);
    const QString ext = ExtensionOf(expanded);
    if (IsOneOf(ext, PageExtensions)) {
        TLinkRoute route = RoutePage(Src, TempFolder, SubFolder);
        route.FallbackInside = viewerStaysInside;
        return route;
    }
    if (IsOneOf(ext, SwallowedExtensions))
        return {TLinkAction::Swallow, {}, {}, SubFolder};
    if (!viewerStaysInside)
        return {TLinkAction::Refuse, {}, QDir::cleanPath(expanded), SubFolder};
    return {TLinkAction::Unclaimed, {}, {}, SubFolder};
}

} // namespace

bool IsInsideFolder(const QString& Path, const QString& Folder)
{
    if (Folder.isEmpty())
        return true;
    const QString root = QDir::cleanPath(Folder) + u'/';
    const QString lexical = QDir::cleanPath(Path.isEmpty() ? Path : QDir(root).absoluteFilePath(Path));
    if (lexical + u'/' != root && !lexical.startsWith(root))
        return false;
    // A link inside the tree may still reach out through a symbolic link the archive left there.
    const QString real = QFileInfo(lexical).canonicalFilePath();
    const QString realRoot = QFileInfo(root).canonicalFilePath();
    return real.isEmpty() || realRoot.isEmpty() || real == realRoot || real.startsWith(realRoot + u'/');
}

TLinkRoute RouteLink(const QString& Src, const QString& TempFolder, const QString& SubFolder,
                     const std::function<QString(const QString&)>& Expand)
{
    static constexpr QLatin1StringView ExpandPrefix("IDEXPAND_");
    if (Src.startsWith(ExpandPrefix, Qt::CaseInsensitive))
        return {TLinkAction::ToggleOutline, Src.mid(ExpandPrefix.size()), {}, SubFolder};
    if (IsLocalLink(Src))
        return RouteLocal(Src, TempFolder, SubFolder, Expand);
    const QString trimmed = Src.trimmed();
    for (QLatin1StringView scheme : ShellSchemes)
        if (trimmed.startsWith(scheme, Qt::CaseInsensitive))
            return {TLinkAction::Shell, {}, trimmed, SubFolder};
    return {TLinkAction::Unclaimed, {}, {}, SubFolder};
}

// ---- The window's side

namespace {

// A link out of the help file is reported as the viewer reports a file it cannot find.
[[noreturn]] void ReportMissing(const QString& Path)
{
    throw EhtLoadError("Can't locate '" + Path.toStdString() + "'.");
}

} // namespace

void TViewForm::ViewerHotSpotClick(THtmlViewer& Sender, const u16& SRC, bool& Handled)
{
    Handled = false;
    const TLinkRoute route = RouteLink(QString::fromStdU16String(SRC), TempFolder, SubFolder, [&](const QString& Name) {
        return QString::fromStdU16String(Sender.ExpandLinkName(Name.toStdU16String()));
    });
    switch (route.Action) {
    case TLinkAction::ToggleOutline:
        if (Viewer)
            ToggleOutline(route.Key.toStdU16String());
        Handled = true;
        break;
    case TLinkAction::OpenPage:
        SubFolder = route.SubFolder;
        if (const std::optional<u16> located = platform::LocateFile(route.Target.toStdU16String())) {
            Viewer->ShowString(u"", u"", DocType::dtHtml);
            Viewer->ShowFile(*located, DocType::dtHtml);
            Viewer->setFocus();
            Handled = true;
        } else if (!route.FallbackInside) {
            Handled = true;
            ReportMissing(route.Target);
        }
        break;
    case TLinkAction::Swallow:
        Handled = true;
        break;
    case TLinkAction::Shell:
        FOpenExternal(route.Target);
        Handled = true;
        break;
    case TLinkAction::Refuse:
        Handled = true;
        ReportMissing(route.Target);
    case TLinkAction::Unclaimed:
        break;
    }
}

// The "Plus" block follows the "Minus" block, so the two always show opposite halves of one entry.
void TViewForm::ToggleOutline(const u16& Key)
{
    const u16 minus = Key + u"Minus";
    const int m = Viewer->ElementDisplay(minus);
    Viewer->SetElementDisplay(minus, m == 6 ? 0 : m + 1);
    Viewer->SetElementDisplay(Key + u"Plus", Viewer->ElementDisplay(minus));
    Viewer->ApplyDisplayChanges();
}

void TViewForm::ViewerHotSpotCovered(THtmlViewer& Sender, const u16& SRC)
{
    QString text;
    if (!SRC.empty())
        text = QString::fromStdU16String(SRC) + QStringLiteral("     ");
    if (!Sender.HotTitle().empty())
        text += QStringLiteral("Title: ") + QString::fromStdU16String(Sender.HotTitle());
    SetStatusText(text);
}

void OpenWithSystemHandler(const QString& Link)
{
    QDesktopServices::openUrl(QUrl(Link, QUrl::TolerantMode));
}

} // namespace lantern
