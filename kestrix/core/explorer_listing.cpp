#include "explorer_listing.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kestrix {

namespace {

// The text from the last dot of the file name (not of a folder above it), dot included; "" when
// the name has no dot.
QString extensionOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? path.mid(dot) : QString();
}

// -1, 0 or 1 for the captions without case, then with case, so that only equal captions tie.
int compareCaptions(const QString& a, const QString& b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded : a.compare(b, Qt::CaseSensitive);
}

}  // namespace

QString ExplorerItem::name() const
{
    if (isFolder && caption.size() >= 2 && caption.startsWith(QLatin1Char('[')) && caption.endsWith(QLatin1Char(']')))
        return caption.mid(1, caption.size() - 2);
    return caption;
}

ExplorerImage ArchiveImage(const QString& path)
{
    const QString extension = extensionOf(path).toLower();
    if (extension == QLatin1String(".vox")) return ExplorerImage::Speech;
    if (extension == QLatin1String(".ile")) return ExplorerImage::Island;
    if (extension == QLatin1String(".obl")) return ExplorerImage::IslandObject;
    return ExplorerImage::Archive;
}

bool IsExplorerArchive(const QString& fileName)
{
    const QString extension = extensionOf(fileName).toLower();
    return extension == QLatin1String(".hqr") || extension == QLatin1String(".vox") ||
           extension == QLatin1String(".ile") || extension == QLatin1String(".obl");
}

std::vector<ExplorerItem> ListExplorerFolder(const QString& folder)
{
    std::vector<ExplorerItem> items;
    const QDir dir(folder);
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) return items;

    if (!QDir(info.canonicalFilePath()).isRoot())
        items.push_back({QStringLiteral("[..]"), ExplorerImage::Folder, true});
    // Without QDir::System, broken links and special files stay out; links to folders and
    // archives are followed and listed as what they point at.
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllDirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isDir())
            items.push_back({QLatin1Char('[') + name + QLatin1Char(']'), ExplorerImage::Folder, true});
        else if (IsExplorerArchive(name))
            items.push_back({name, ArchiveImage(name), false});
    }
    return items;
}

bool CompareByType(const ExplorerItem& a, const ExplorerItem& b)
{
    if (a.isFolder != b.isFolder) return a.isFolder;
    if (!a.isFolder) {
        const int byExtension = extensionOf(a.caption).compare(extensionOf(b.caption), Qt::CaseInsensitive);
        if (byExtension != 0) return byExtension < 0;
    }
    return compareCaptions(a.caption, b.caption) < 0;
}

bool CompareByName(const ExplorerItem& a, const ExplorerItem& b)
{
    return compareCaptions(a.caption, b.caption) < 0;
}

void SortExplorerItems(std::vector<ExplorerItem>& items, bool byName)
{
    std::sort(items.begin(), items.end(), byName ? CompareByName : CompareByType);
}

QString ParentFolder(const QString& folder)
{
    const QString path = WithTrailingSeparator(folder);
    if (path.isEmpty() || QDir(path).isRoot()) return path;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), path.size() - 2);
    // A relative name without a folder above it ("a/") has no parent to name.
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString WithTrailingSeparator(const QString& folder)
{
    if (folder.isEmpty()) return folder;
    QString path = QDir::fromNativeSeparators(folder);
    while (path.endsWith(QLatin1Char('/'))) path.chop(1);
    return path + QLatin1Char('/');
}

}  // namespace kestrix
