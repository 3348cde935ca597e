// What lantern-render shows: a page file, or a page of a help file unpacked the way the window unpacks it (the
// same extractor, the same private temporary folder, the same start page and language).
#pragma once

#include "common/Str.h"

#include <QString>

#include <stdexcept>

namespace lantern {

// Bad input: one line for the user, and exit status 2.
class ERenderInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TRenderInput {
public:
    // FILE.html (any page the viewer shows), FILE.chm (its start page) or FILE.chm:inner/page.htm.
    explicit TRenderInput(const QString& argument);
    ~TRenderInput(); // the unpacked folder goes with it
    TRenderInput(const TRenderInput&) = delete;
    TRenderInput& operator=(const TRenderInput&) = delete;

    QString PagePath;    // the file to show; empty when the help file names no page
    QString IndexPage;   // then this generated page is shown, as the window does
    int CharSet;         // the help file's language, or the default charset

private:
    void Unpack(const QString& helpFile, const QString& innerPage);
    QString TempFolder;
};

} // namespace lantern
