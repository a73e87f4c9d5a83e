// The packer program: its one window, run until it closes. It takes no command-line arguments.

#include <QApplication>

#include "program_icon.h"

#include "unit_packer.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(bundra::kPackerTitle));
    QApplication::setOrganizationName(QStringLiteral("Tolvey Productions"));
    QApplication::setWindowIcon(kestrix::ProgramIcon(QLatin1Char('B'), QColor(120, 40, 0), QColor(220, 130, 20)));

    bundra::Tfrm_Packer window;
    window.show();
    return app.exec();
}
