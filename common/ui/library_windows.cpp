#include "library_windows.h"

#include "varnel_exports.h"

namespace kestrix {

void VarnelWindows::about(QWidget* mainWindow)
{
    AboutKestrix(mainWindow);
}

void VarnelWindows::quiz()
{
    DevPellanOn();
}

}  // namespace kestrix
