#include "varnel_exports.h"

#include <QCursor>
#include <QGuiApplication>
#include <QString>

#include "decompress.h"
#include "saved_game.h"
#include "unit_about.h"
#include "unit_quiz.h"

namespace {

// Shows the hourglass for its lifetime when there is a GUI application to show it in.
class BusyCursor {
public:
    BusyCursor() : m_active(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor()
    {
        if (m_active) QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_active;
};

}  // namespace

void DecompressEx(kestrix::MemoryStream* destination, kestrix::MemoryStream* source, std::int32_t decompressedSize,
                  std::uint8_t lengthBias)
{
    if (!destination || !source) return;
    BusyCursor busy;
    const std::uint64_t size = decompressedSize > 0 ? static_cast<std::uint64_t>(decompressedSize) : 0;
    varnel::decompressInto(*destination, source->data(), source->size(), size, lengthBias);
}

void DecompressExPtr(std::uint8_t* destination, std::int32_t destinationSize, const std::uint8_t* source,
                     std::int32_t sourceSize, std::uint8_t lengthBias)
{
    if (!destination || destinationSize <= 0) return;
    if (!source) sourceSize = 0;
    BusyCursor busy;
    varnel::decompress(destination, static_cast<std::size_t>(destinationSize), source,
                       sourceSize > 0 ? static_cast<std::size_t>(sourceSize) : 0, lengthBias);
}

void DeCompQuarn2SG(const char* path)
{
    if (!path) return;
    varnel::decompressSavedGame(QString::fromUtf8(path));
}

void AboutKestrix(QWidget* mainWindow)
{
    varnel::ShowAboutBox(mainWindow);
}

void DevPellanOn()
{
    varnel::ShowQuarnQuiz();
}
