// The window's dialogs and its hand-over to the desktop, behind one small interface so that tests can record
// what was asked and answer for the user instead of blocking on modal dialogs.
#pragma once

#include "common/Colors.h"
#include "common/Str.h"

#include <QString>

#include <optional>

class QWidget;

namespace lantern {

// The default font as the font dialog shows and returns it; the style and script of a choice are not used.
struct TFontChoice {
    u16 Name;
    int Size = 0; // points
    Color FontColor = 0;
    friend bool operator==(const TFontChoice&, const TFontChoice&) = default;
};

// The file-save dialog's filter and default extension, which stay with the window from one save to the next.
struct TSaveFileRequest {
    QString Filter;     // in the file dialog's form: "Caption (*.a *.b)"
    QString DefaultExt; // without the dot
};

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // None when the user cancels.
    virtual std::optional<TFontChoice> ChooseFont(const TFontChoice& Initial) = 0;
    virtual std::optional<Color> ChooseColor(Color Initial) = 0;
    // The chosen file's path, empty on cancel. The dialog asks nothing about existing files.
    virtual QString ChooseSaveFile(const TSaveFileRequest& Request) = 0;
    // The chosen existing folder, empty on cancel; Start is preselected when not empty.
    virtual QString ChooseFolder(const QString& Caption, const QString& Start) = 0;
};

// The real dialogs, modal over Parent.
class TStandardDialogs final : public TDialogs {
public:
    explicit TStandardDialogs(QWidget* Parent) : Parent(Parent) {}
    std::optional<TFontChoice> ChooseFont(const TFontChoice& Initial) override;
    std::optional<Color> ChooseColor(Color Initial) override;
    QString ChooseSaveFile(const TSaveFileRequest& Request) override;
    QString ChooseFolder(const QString& Caption, const QString& Start) override;

private:
    QWidget* Parent;
};

} // namespace lantern
