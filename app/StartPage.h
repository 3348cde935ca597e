// The first page of an unpacked help file: one of the fixed start-page names, or a generated index.
#pragma once

#include "app/HelpSystemFile.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace lantern {

// In this order; when several exist, the last one is the page that stays on screen.
inline constexpr std::array<std::u16string_view, 8> StartPageNames = {
    u"index.html", u"index.htm", u"default.html", u"default.htm",
    u"welcome.html", u"welcome.htm", u"home.html", u"home.htm",
};

// The start pages present at the top of Folder (which ends in '/'), as full paths in list order. Help
// files were written for a case-insensitive file system, so a file whose name differs only in letter case
// counts as present.
QStringList ExistingStartPages(const QString& Folder);

// The default topic a help file names, found in Folder (which ends in '/') as a link is: segment by segment,
// ignoring letter case where the exact name is missing.
struct TDefaultTopic {
    QString Path;      // the file as unpacked
    QString Anchor;    // with its '#'; empty when none
    QString SubFolder; // the file's folder relative to Folder, ending in '/'; empty for the top
};
// None when the file names no topic, or one that is missing or lies outside Folder (a symbolic link that
// leads out of it included).
std::optional<TDefaultTopic> LocateDefaultTopic(const QString& Folder, const THelpSystemFile& System);

// The #SYSTEM file at the top of Folder (which ends in '/'), read up to a size no real one reaches; one that
// names nothing when there is none.
THelpSystemFile ReadHelpSystemFile(const QString& Folder);

// The pages a help file opens on, in the order they are shown: every start page present (the last one stays on
// screen), or else the default topic the help file names, with its anchor. Empty when there is neither: the
// generated index is shown then.
struct TStartPage {
    QString File;
    QString SubFolder; // as in TDefaultTopic
};
std::vector<TStartPage> StartPagesOf(const QString& Folder, const THelpSystemFile& System);

// The page that links every .htm and .html file at the top of Folder (which ends in '/'), in name order,
// with absolute paths inside Folder; lines end in CR LF. Names are escaped so that a file name cannot add
// markup to the page.
QString BuildIndexPage(const QString& Folder);

} // namespace lantern
