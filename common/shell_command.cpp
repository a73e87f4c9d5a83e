#include "shell_command.h"

namespace kestrix {

QString ProgramOfCommand(const QString& command)
{
    const QString text = command.trimmed();
    if (text.startsWith(QLatin1Char('"'))) {
        const qsizetype end = text.indexOf(QLatin1Char('"'), 1);
        return end > 1 ? text.mid(1, end - 1) : QString();
    }
    qsizetype end = text.indexOf(QStringLiteral(" \"%1\""));
    if (end < 0) end = text.indexOf(QLatin1Char(' '));
    return end < 0 ? text : text.left(end);
}

}  // namespace kestrix
