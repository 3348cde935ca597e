// The modeless find dialog: a text, whether its case must match, and the direction. It stays open while the
// reader searches; each "find next" reaches the window through OnFind.
#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lantern {

class TFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFindDialog(QWidget* Parent);

    QString FindText() const;
    void SetFindText(const QString& Text);
    bool MatchCase() const;
    void SetMatchCase(bool Value);
    // Searching down the page, as the dialog starts; up otherwise.
    bool Down() const;
    void SetDown(bool Value);
    // Presses "find next", as the reader would.
    void FindNext();

    std::function<void()> OnFind;

    QLineEdit* FindEdit = nullptr;
    QCheckBox* MatchCaseBox = nullptr;
    QRadioButton* UpButton = nullptr;
    QRadioButton* DownButton = nullptr;
    QPushButton* FindNextButton = nullptr;
};

} // namespace lantern
