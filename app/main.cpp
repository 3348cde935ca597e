// Lantern: starts the application and its main window, which opens the help file named on the command line.
#include "app/Guard.h"
#include "app/ViewForm.h"

int main(int argc, char** argv)
{
    lantern::TLanternApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf16(lantern::AppTitle));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    auto* form = new lantern::TViewForm(lantern::TViewFormEnvironment::Default(), arguments);
    form->setAttribute(Qt::WA_DeleteOnClose); // closing the window destroys it, and with it the session
    form->show();
    return QApplication::exec();
}
