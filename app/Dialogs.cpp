#include "app/Dialogs.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lantern {

namespace {

QColor ToQColor(Color Value)
{
    const Color rgb = ColorToRGB(Value);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

Color FromQColor(const QColor& Value)
{
    return MakeColor(Value.red(), Value.green(), Value.blue());
}

// The framework's font dialog offers no colour, and the default font has one: the font dialog embedded with
// a colour button under it.
class TFontDialog final : public QDialog {
public:
    TFontDialog(const TFontChoice& Initial, QWidget* Parent)
        : QDialog(Parent), FInitialName(Initial.Name), FColor(ToQColor(Initial.FontColor))
    {
        setWindowTitle(QStringLiteral("Font"));
        // Pages name Windows faces that are installed here under metric-compatible names: the dialog shows
        // the face the name resolves to, and keeps the name unless another face is chosen.
        QFont font(QString::fromStdU16String(Initial.Name));
        if (!QFontDatabase::hasFamily(font.family()))
            font.setFamily(QFontInfo(font).family());
        FShownFamily = font.family();
        if (Initial.Size > 0)
            font.setPointSize(Initial.Size);
        FFonts = new QFontDialog(font, this);
        FFonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        FFonts->setWindowFlags(Qt::Widget);

        auto* colorRow = new QHBoxLayout;
        colorRow->addWidget(new QLabel(QStringLiteral("Color:"), this));
        FColorButton = new QPushButton(this);
        FColorButton->setFixedWidth(60);
        colorRow->addWidget(FColorButton);
        colorRow->addStretch(1);
        ShowColor();
        connect(FColorButton, &QPushButton::clicked, this, [this] {
            const QColor chosen = QColorDialog::getColor(FColor, this);
            if (chosen.isValid()) {
                FColor = chosen;
                ShowColor();
            }
        });

        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

        auto* column = new QVBoxLayout(this);
        column->addWidget(FFonts);
        column->addLayout(colorRow);
        column->addWidget(buttons);
    }

    TFontChoice Choice() const
    {
        const QFont font = FFonts->currentFont();
        const u16 name = font.family() == FShownFamily ? FInitialName : font.family().toStdU16String();
        return {name, font.pointSize(), FromQColor(FColor)};
    }

private:
    void ShowColor() { FColorButton->setStyleSheet(QStringLiteral("background-color: %1").arg(FColor.name())); }

    u16 FInitialName;
    QString FShownFamily;
    QFontDialog* FFonts = nullptr;
    QPushButton* FColorButton = nullptr;
    QColor FColor;
};

} // namespace

std::optional<TFontChoice> TStandardDialogs::ChooseFont(const TFontChoice& Initial)
{
    TFontDialog dialog(Initial, Parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<Color> TStandardDialogs::ChooseColor(Color Initial)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(Initial), Parent);
    if (!chosen.isValid())
        return std::nullopt;
    return FromQColor(chosen);
}

QString TStandardDialogs::ChooseSaveFile(const TSaveFileRequest& Request)
{
    QFileDialog dialog(Parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(Request.Filter);
    dialog.setDefaultSuffix(Request.DefaultExt);
    // The window asks its own question about an existing file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString TStandardDialogs::ChooseFolder(const QString& Caption, const QString& Start)
{
    // Read-only: the chooser offers no new folder.
    return QFileDialog::getExistingDirectory(Parent, Caption, Start, QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
}

} // namespace lantern
