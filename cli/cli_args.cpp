#include "cli_args.h"

#include <cstdio>

#include <QRegularExpression>

#include "hqr_archive.h"

namespace cli {

bool Args::parse(const QStringList& argv, const std::vector<OptionDecl>& accepted, QString* error)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < argv.size(); ++i) {
        const QString& arg = argv[i];
        if (optionsEnded || !arg.startsWith(u'-') || arg == QLatin1String("-")) {
            m_positional << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = arg;
        QString value;
        bool inlineValue = false;
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.startsWith(QLatin1String("--")) && eq > 0) {
            name = arg.left(eq);
            value = arg.mid(eq + 1);
            inlineValue = true;
        }
        const OptionDecl* decl = nullptr;
        for (const OptionDecl& d : accepted)
            if (name == QLatin1String(d.name)) decl = &d;
        if (!decl) {
            *error = QStringLiteral("unknown option %1").arg(name);
            return false;
        }
        if (decl->takesValue() && !inlineValue) {
            if (i + 1 >= argv.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            value = argv[++i];
        } else if (!decl->takesValue() && inlineValue) {
            *error = QStringLiteral("%1 takes no value").arg(name);
            return false;
        }
        m_values.emplace_back(name, value);
    }
    return true;
}

bool Args::has(const char* name) const
{
    for (const auto& [n, v] : m_values)
        if (n == QLatin1String(name)) return true;
    return false;
}

QString Args::value(const char* name) const
{
    QString result;  // the last one given wins
    for (const auto& [n, v] : m_values)
        if (n == QLatin1String(name)) result = v;
    return result;
}

Args parseArgs(const QStringList& argv, const std::vector<OptionDecl>& accepted)
{
    Args args;
    QString error;
    if (!args.parse(argv, accepted, &error)) throw UsageError{error};
    return args;
}

std::int64_t parseNumber(const QString& text, const char* option, std::int64_t min, std::int64_t max)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    if (!ok || v < min || v > max)
        throw UsageError{QStringLiteral("%1: expected a number from %2 to %3, got \"%4\"")
                             .arg(QLatin1String(option))
                             .arg(min)
                             .arg(max)
                             .arg(text)};
    return v;
}

// A JSON string literal: quotes, backslashes and control characters escaped; the rest as UTF-8.
QByteArray jsonString(const QString& text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (u < 0x20)
                out += QByteArray("\\u00") + QByteArray::number(u, 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

QString withDetail(const QString& fixedText, const QString& detail)
{
    return fixedText + QStringLiteral(": ") + detail;
}

QString namingFile(const QString& message, const QString& path)
{
    return message.contains(path) ? message : withDetail(message, path);
}

QString oneLine(const QString& message)
{
    static const QRegularExpression kLineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    return QString(message).replace(kLineBreaks, QStringLiteral(" ")).trimmed();
}

QString bytesAndMegabytes(std::uint64_t bytes)
{
    return QStringLiteral("%1 bytes (%2)").arg(bytes).arg(kestrix::megabytesText(bytes));
}

QString shellWord(const QString& text)
{
    static const QRegularExpression kSafe(QStringLiteral("^[A-Za-z0-9_./+:=,@%-]+$"));
    if (kSafe.match(text).hasMatch()) return text;
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

void writeOut(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

void writeOut(const QString& text)
{
    writeOut(text.toUtf8());
}

void warn(const QString& message)
{
    const QByteArray line = "kestrix-cli: " + oneLine(message).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

}  // namespace cli
