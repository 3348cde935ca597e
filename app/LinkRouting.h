// What a click on a link means inside an unpacked help file: an outline entry to fold or unfold, another page
// of the help file, a sound or program that is never started, a mail or web link for the system's handler, or
// nothing the window claims (the viewer then follows the link itself).
//
// RouteLink only decides; TViewForm::ViewerHotSpotClick (LinkRouting.cpp) carries the decision out, so the
// rules can be tested without a window or a help file on disk.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace lantern {

enum class TLinkAction : std::uint8_t {
    Unclaimed,     // the viewer follows the link itself
    ToggleOutline, // Key names the entry's "Minus" and "Plus" blocks
    OpenPage,      // Target is the page inside the help file; the window opens it when it exists
    Swallow,       // a sound, program or video: nothing happens
    Shell,         // Target goes to the system's handler for mail and web links
    Refuse,        // Target lies outside the unpacked folder tree and is reported as missing
};

struct TLinkRoute {
    TLinkAction Action = TLinkAction::Unclaimed;
    QString Key;
    QString Target;
    QString SubFolder; // the session's sub-folder after the click
    // For a page that is missing: whether the viewer, following the link itself, would stay inside the folder.
    bool FallbackInside = true;
};

// Src is the link as written in the page; TempFolder ends in '/'; SubFolder is empty or relative and ends in
// '/'. Expand turns a local link into the full name the viewer would use for it.
TLinkRoute RouteLink(const QString& Src, const QString& TempFolder, const QString& SubFolder,
                     const std::function<QString(const QString&)>& Expand);

// True when Path, with its "." and ".." segments resolved, names Folder itself or something below it.
bool IsInsideFolder(const QString& Path, const QString& Folder);

} // namespace lantern
