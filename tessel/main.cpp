// The text viewer program: its main window, run until it closes.

#include <QApplication>

#include "main_unit.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quarn Reader"));
    QApplication::setOrganizationName(QStringLiteral("Tolvey Productions"));

    tessel::MainWindowServices services;
    services.parameters = QApplication::arguments().mid(1);
    tessel::Tfrm_Main window(std::move(services));
    window.show();
    return app.exec();
}
