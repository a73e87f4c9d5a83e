// The image viewer: its window, run until it closes.

#include <QApplication>

#include "program_icon.h"

#include "image_plugin.h"
#include "unit_main.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictor"));
    QApplication::setOrganizationName(QStringLiteral("Tolvey Productions"));
    QApplication::setWindowIcon(kestrix::ProgramIcon(QLatin1Char('P'), QColor(0, 90, 40), QColor(40, 170, 90)));
    pictor::registerImageFormats();

    pictor::MainWindowServices services;
    services.parameters = QApplication::arguments().mid(1);
    pictor::Tfrm_Main window(std::move(services));
    window.show();
    return app.exec();
}
