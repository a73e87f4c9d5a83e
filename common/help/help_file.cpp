#include "help_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kestrix {

namespace {

// "[KIND NAME]" → NAME (trimmed); "" for a damaged header (a line that starts with "[KIND" but is
// not of that form); nullopt for any other line. A name holds no "[" or "]".
std::optional<QString> headerName(const QString& line, const char* kind)
{
    const QString kOpen = QLatin1Char('[') + QLatin1String(kind);
    if (!line.startsWith(kOpen)) return std::nullopt;
    if (line.size() > kOpen.size() && !line.at(kOpen.size()).isSpace() && line.at(kOpen.size()) != QLatin1Char(']'))
        return std::nullopt;  // "[topical]" is text, not a header
    if (!line.endsWith(QLatin1Char(']'))) return QString();
    const QString name = line.mid(kOpen.size(), line.size() - kOpen.size() - 1).trimmed();
    if (name.contains(QLatin1Char('[')) || name.contains(QLatin1Char(']'))) return QString();
    return name;
}

// Only plain decimal digits make a number: "5000", not "+5000" or "5e3".
std::optional<qint64> topicNumber(const QString& name)
{
    if (name.isEmpty() || name.size() > 18) return std::nullopt;
    for (const QChar c : name)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    return name.toLongLong();
}

bool startsWithField(const QString& line, const QString& field, QString* value)
{
    if (!line.startsWith(field, Qt::CaseInsensitive)) return false;
    *value = line.mid(field.size()).trimmed();
    return true;
}

}  // namespace

QString HelpTopic::plainText() const
{
    return paragraphs.join(QStringLiteral("\n\n"));
}

HelpFile HelpFile::load(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    HelpFile help = parse(file.read(kMaxFileSize));
    help.m_loaded = true;
    return help;
}

HelpFile HelpFile::parse(const QByteArray& utf8)
{
    HelpFile help;
    help.m_loaded = true;

    // NUL bytes would cut nothing in QString, but they have no place in a text: treat them as blanks.
    QString text = QString::fromUtf8(utf8);
    text.replace(QChar(0), QLatin1Char(' '));
    const QStringList lines = text.split(QLatin1Char('\n'));

    HelpTopic* current = nullptr;  // nullptr: lines belong to no topic
    QString section;
    bool inHead = false;  // title and keywords are read only before the first text line
    QString paragraph;
    const auto endParagraph = [&] {
        if (current && !paragraph.isEmpty()) current->paragraphs << paragraph;
        paragraph.clear();
    };

    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.startsWith(QLatin1Char('#'))) continue;
        if (const auto name = headerName(line.trimmed(), "section")) {
            endParagraph();
            current = nullptr;
            section = *name;
            continue;
        }
        if (const auto name = headerName(line.trimmed(), "topic")) {
            endParagraph();
            current = nullptr;
            if (!name->isEmpty()) {
                HelpTopic topic;
                topic.name = *name;
                topic.number = topicNumber(*name);
                topic.section = section;
                help.m_topics.append(topic);
                current = &help.m_topics.last();
                inHead = true;
            }
            continue;
        }
        if (!current) continue;
        const QString trimmed = line.trimmed();
        QString value;
        if (inHead && startsWithField(trimmed, QStringLiteral("title:"), &value)) {
            current->title = value;
            continue;
        }
        if (inHead && startsWithField(trimmed, QStringLiteral("keywords:"), &value)) {
            for (const QString& keyword : value.split(QLatin1Char(';'))) {
                const QString k = keyword.trimmed();
                if (!k.isEmpty()) current->keywords << k;
            }
            continue;
        }
        if (inHead && startsWithField(trimmed, QStringLiteral("hidden:"), &value)) {
            current->hidden = value.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (trimmed.isEmpty()) {
            endParagraph();
            continue;
        }
        inHead = false;
        // An item runs on over indented lines only; a line at the margin after it starts a paragraph.
        const bool itemOpen = paragraph.startsWith(QLatin1String("- "));
        if (trimmed.startsWith(QLatin1String("- ")) || (itemOpen && !line.front().isSpace())) {
            endParagraph();
            paragraph = trimmed;
            continue;
        }
        paragraph = paragraph.isEmpty() ? trimmed : paragraph + QLatin1Char(' ') + trimmed;
    }
    endParagraph();
    return help;
}

const HelpTopic* HelpFile::topicByNumber(qint64 number) const
{
    for (const HelpTopic& topic : m_topics)
        if (topic.number == number) return &topic;
    return nullptr;
}

const HelpTopic* HelpFile::topicByKeyword(const QString& keyword) const
{
    const QString key = keyword.trimmed();
    if (key.isEmpty()) return nullptr;
    const auto matches = [&](const HelpTopic& topic, bool exact) {
        const auto test = [&](const QString& k) {
            return exact ? k.compare(key, Qt::CaseInsensitive) == 0 : k.startsWith(key, Qt::CaseInsensitive);
        };
        if (test(topic.name)) return true;
        for (const QString& k : topic.keywords)
            if (test(k)) return true;
        return false;
    };
    // An exact keyword wins over an earlier topic that merely starts with it ("text" before "text.hqr").
    for (const bool exact : {true, false})
        for (const HelpTopic& topic : m_topics)
            if (matches(topic, exact)) return &topic;
    return nullptr;
}

QString FindHelpFile(const QString& name, const QString& folder)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/'))) return {};
    QString dirPath = folder;
    if (dirPath.isEmpty()) {
        if (!QCoreApplication::instance()) return {};
        dirPath = QCoreApplication::applicationDirPath();
    }
    const QDir dir(dirPath);
    // The exact spelling first; then any spelling, the first in name order so the choice is stable.
    const QFileInfo exact(dir.filePath(name));
    if (exact.isFile()) return exact.absoluteFilePath();
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& entry : entries)
        if (entry.fileName().compare(name, Qt::CaseInsensitive) == 0) return entry.absoluteFilePath();
    return {};
}

}  // namespace kestrix
