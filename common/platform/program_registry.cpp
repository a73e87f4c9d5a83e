#include "program_registry.h"

#include <QCoreApplication>

#include "settings_store.h"

namespace kestrix {

QString ProgramValueName(int number)
{
    return QStringLiteral("{PROG-%1}").arg(number, 4, 10, QLatin1Char('0'));
}

bool RegisterProgram(int number, const QString& title, const QString& executablePath)
{
    // A program that was never set up leaves no trace in the user's settings.
    RegistryKey settings = RegistryKey::settings();
    if (!settings.exists()) return false;
    const QString path = executablePath.isEmpty() ? QCoreApplication::applicationFilePath() : executablePath;
    settings.writeText(ProgramValueName(number),
                       QLatin1Char('"') + title + QStringLiteral("\",\"") + path + QLatin1Char('"'));
    return true;
}

std::vector<RegisteredProgram> RegisteredPrograms()
{
    std::vector<RegisteredProgram> out;
    const RegistryKey settings = RegistryKey::settings();
    for (int n = 0; n <= 9; ++n) {
        const std::optional<QString> value = settings.readText(ProgramValueName(n));
        if (!value) continue;
        RegisteredProgram p;
        p.number = n;
        const QString separator = QStringLiteral("\",\"");
        const qsizetype split = value->indexOf(separator);
        if (value->startsWith(QLatin1Char('"')) && split > 0) {
            p.title = value->mid(1, split - 1);
            p.path = value->mid(split + separator.size());
            if (p.path.endsWith(QLatin1Char('"'))) p.path.chop(1);
        } else {
            p.title = *value;
        }
        out.push_back(p);
    }
    return out;
}

}  // namespace kestrix
