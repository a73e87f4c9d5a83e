#include "folder_items.h"

#include <map>
#include <optional>

#include <QDir>
#include <QFileInfo>

#include "naming.h"

namespace bundra {

const char kMovieGroup[] = "movies";

namespace {

// Entry numbers beyond nine digits are no extractor's.
constexpr int kMaxDigits = 9;

struct SplitName {
    QString stem;  // the name before its last "."
    QString extension;
};

// A name with a non-empty stem and extension around its last ".".
std::optional<SplitName> splitName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1) return std::nullopt;
    return SplitName{name.left(dot), name.mid(dot + 1)};
}

bool isBatchFile(const QString& name)
{
    return name.endsWith(QLatin1String(".qbc"), Qt::CaseInsensitive);
}

// The run of digits that ends `stem`.
qsizetype trailingDigits(const QString& stem)
{
    qsizetype count = 0;
    while (count < stem.size() && stem[stem.size() - 1 - count].isDigit() &&
           stem[stem.size() - 1 - count].unicode() < 128)
        ++count;
    return count;
}

// 1-based place of the movie whose name (less its extension) is `stem`.
std::optional<int> movieNumber(const QString& stem)
{
    for (std::uint32_t number = 1;; ++number) {
        const std::optional<QString> movie = kestrix::movieName(number);
        if (!movie) return std::nullopt;
        if (QFileInfo(*movie).completeBaseName().compare(stem, Qt::CaseInsensitive) == 0)
            return static_cast<int>(number);
    }
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
}

// The number of `name` in `group`, or the reason it has none.
std::optional<int> numberIn(const QString& name, const QString& group, QString* reason)
{
    const std::optional<SplitName> split = splitName(name);
    if (group == QLatin1String(kMovieGroup)) {
        if (split)
            if (const std::optional<int> number = movieNumber(split->stem)) return number;
        *reason = QStringLiteral("not named after a movie");
        return std::nullopt;
    }
    const QString notOfBase = QStringLiteral("not \"%1\", digits and an extension").arg(group);
    if (!split || !split->stem.startsWith(group, Qt::CaseInsensitive)) {
        *reason = notOfBase;
        return std::nullopt;
    }
    const QString digits = split->stem.mid(group.size());
    if (digits.isEmpty() || trailingDigits(digits) != digits.size()) {
        *reason = notOfBase;
        return std::nullopt;
    }
    if (digits.size() > kMaxDigits) {
        *reason = QStringLiteral("its number %1 is too large").arg(digits);
        return std::nullopt;
    }
    const int number = digits.toInt();
    if (number < 1) {
        *reason = QStringLiteral("entry numbers start at 1");
        return std::nullopt;
    }
    return number;
}

QString gapText(int first, int last)
{
    const QString missing = first == last ? QStringLiteral("entry %1 is missing").arg(first)
                                          : QStringLiteral("entries %1 to %2 are missing").arg(first).arg(last);
    return missing + QStringLiteral(": the files after it move up, and \".double\" markers refer to list positions");
}

}  // namespace

QStringList FolderGroups(const QString& folder)
{
    QStringList groups;
    bool movies = false;
    for (const QString& name : filesIn(folder)) {
        if (isBatchFile(name)) continue;
        const std::optional<SplitName> split = splitName(name);
        if (!split) continue;
        if (movieNumber(split->stem)) movies = true;
        const qsizetype digits = trailingDigits(split->stem);
        if (digits == 0) continue;
        const QString base = split->stem.left(split->stem.size() - digits);
        if (!groups.contains(base, Qt::CaseInsensitive)) groups << base;
    }
    groups.sort(Qt::CaseInsensitive);
    if (movies) groups << QString::fromLatin1(kMovieGroup);
    return groups;
}

FolderSelection SelectFolderFiles(const QString& folder, const QString& group)
{
    FolderSelection selection;
    std::map<int, QString> byNumber;
    QStringList clashes;
    for (const QString& name : filesIn(folder)) {
        if (isBatchFile(name)) {
            selection.skipped << QStringLiteral("%1: a batch file of the image viewer, not an entry").arg(name);
            continue;
        }
        QString reason;
        const std::optional<int> number = numberIn(name, group, &reason);
        if (!number) {
            selection.skipped << QStringLiteral("%1: %2").arg(name, reason);
            continue;
        }
        const auto [place, added] = byNumber.emplace(*number, name);
        if (!added) clashes << QStringLiteral("%1 and %2 are both entry %3").arg(place->second, name).arg(*number);
    }
    if (!clashes.isEmpty()) {
        selection.error = clashes.join(QLatin1Char('\n'));
        return selection;
    }

    const QDir dir(folder);
    int expected = 1;
    for (const auto& [number, name] : byNumber) {
        if (number > expected) selection.gaps << gapText(expected, number - 1);
        expected = number + 1;
        selection.paths << QFileInfo(dir.filePath(name)).absoluteFilePath();
    }
    return selection;
}

}  // namespace bundra
