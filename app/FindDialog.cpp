#include "app/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lantern {

TFindDialog::TFindDialog(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("查找"));
    setModal(false);

    auto* label = new QLabel(QStringLiteral("查找内容:"), this);
    FindEdit = new QLineEdit(this);
    label->setBuddy(FindEdit);
    MatchCaseBox = new QCheckBox(QStringLiteral("区分大小写"), this);
    auto* direction = new QGroupBox(QStringLiteral("方向"), this);
    UpButton = new QRadioButton(QStringLiteral("向上"), direction);
    DownButton = new QRadioButton(QStringLiteral("向下"), direction);
    DownButton->setChecked(true);
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(UpButton);
    directionRow->addWidget(DownButton);

    FindNextButton = new QPushButton(QStringLiteral("查找下一个"), this);
    FindNextButton->setDefault(true);
    FindNextButton->setEnabled(false);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FindEdit, 0, 1, 1, 2);
    grid->addWidget(FindNextButton, 0, 3);
    grid->addWidget(MatchCaseBox, 1, 0, 1, 2);
    grid->addWidget(direction, 1, 2);
    grid->addWidget(cancel, 1, 3, Qt::AlignTop);

    // Nothing to find until there is a text.
    connect(FindEdit, &QLineEdit::textChanged, this,
            [this](const QString& Text) { FindNextButton->setEnabled(!Text.isEmpty()); });
    connect(FindNextButton, &QPushButton::clicked, this, &TFindDialog::FindNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString TFindDialog::FindText() const { return FindEdit->text(); }
void TFindDialog::SetFindText(const QString& Text) { FindEdit->setText(Text); }
bool TFindDialog::MatchCase() const { return MatchCaseBox->isChecked(); }
void TFindDialog::SetMatchCase(bool Value) { MatchCaseBox->setChecked(Value); }
bool TFindDialog::Down() const { return DownButton->isChecked(); }

void TFindDialog::SetDown(bool Value)
{
    DownButton->setChecked(Value);
    UpButton->setChecked(!Value);
}

void TFindDialog::FindNext()
{
    if (OnFind && !FindText().isEmpty())
        OnFind();
}

} // namespace lantern
