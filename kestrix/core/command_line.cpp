#include "command_line.h"

#include <QFileInfo>

namespace kestrix {

const char kCommandLineHelpCaption[] = "Command line params";

QString KestrixCommandLine::archivePath() const
{
    if (firstParameter.isEmpty()) return {};
    return QFileInfo(firstParameter).isFile() ? firstParameter : QString();
}

KestrixCommandLine ParseKestrixCommandLine(const QStringList& parameters)
{
    KestrixCommandLine result;
    result.hasParameters = !parameters.isEmpty();
    if (result.hasParameters) result.firstParameter = parameters.first();
    for (const QString& parameter : parameters) {
        const QString lower = parameter.toLower();
        if (lower == QLatin1String("-debug")) result.debug = true;
        if (lower == QLatin1String("-dev")) result.developer = true;
        if (lower == QLatin1String("-?")) result.showHelp = true;
    }
    return result;
}

QString CommandLineHelpText()
{
    return QStringLiteral("-debug\tEnabled debug mode\r\n-dev\tShow developer options\r\n-?\tShow this message");
}

}  // namespace kestrix
