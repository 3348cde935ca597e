// The window's Edit menu: find with the modeless dialog, copy and select all, all on the viewer's selection.
#include "app/FindDialog.h"
#include "app/Guard.h"
#include "app/ViewForm.h"

namespace lantern {

void TViewForm::FindMenuItemClick()
{
    if (!FindDialog) {
        FindDialog = new TFindDialog(this);
        FindDialog->OnFind = [this] { guarded(*FMessages, [this] { FindDialogFind(); }); };
    }
    FindDialog->show();
    FindDialog->raise();
    FindDialog->activateWindow();
}

// Searches from the viewer's caret: where the reader last clicked, or just past the last match.
void TViewForm::FindDialogFind()
{
    const QString text = FindDialog->FindText();
    if (!Viewer->SearchText(text.toStdU16String(), FindDialog->MatchCase(), !FindDialog->Down()))
        FMessages->Information(QStringLiteral("Search string \"") + text + QStringLiteral("\" not found."));
}

void TViewForm::CopyMenuItemClick() { Viewer->CopyToClipboard(); }

void TViewForm::SelectAllMenuItemClick() { Viewer->SelectAllText(); }

} // namespace lantern
