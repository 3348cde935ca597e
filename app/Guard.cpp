#include "app/Guard.h"

#include <QMessageBox>

#include <stdexcept>

namespace lantern {

QString CurrentFailureText()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown failure.");
    }
}

TLanternApplication::TLanternApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {}

bool TLanternApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        TMessageBoxes(activeWindow()).Failure(CurrentFailureText());
        return true;
    }
}

} // namespace lantern
