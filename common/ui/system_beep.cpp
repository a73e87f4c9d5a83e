#include "system_beep.h"

#include <QApplication>

namespace kestrix {

void SystemBeep::beep()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) QApplication::beep();
}

}  // namespace kestrix
