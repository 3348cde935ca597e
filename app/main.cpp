// Lantern: starts the application and its main window, which opens the help file named on the command line.
#include "app/Guard.h"
#include "app/StopSignals.h"
#include "app/ViewForm.h"

#include <QPointer>

int main(int argc, char** argv)
{
    lantern::TLanternApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(lantern::AppTitle));
    lantern::InstallStopSignals();
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    QPointer<lantern::TViewForm> form = new lantern::TViewForm(lantern::TViewFormEnvironment::Default(), arguments);
    form->setAttribute(Qt::WA_DeleteOnClose); // closing the window destroys it, and with it the session
    form->show();
    const int result = lantern::StopRequested() ? 0 : QApplication::exec();
    delete form; // when the loop ended before the deferred deletion ran
    return result;
}
