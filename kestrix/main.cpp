// The extractor program: its main window, run until it closes.

#include <QApplication>

#include "kestrix_icons.h"
#include "unit_main.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kestrix"));
    QApplication::setOrganizationName(QStringLiteral("Tolvey Productions"));
    QApplication::setWindowIcon(kestrix::KestrixIcon());

    kestrix::MainWindowServices services;
    services.parameters = QApplication::arguments().mid(1);
    kestrix::Tfrm_Main window(std::move(services));
    window.show();
    return app.exec();
}
