#include "dropped_files.h"

#include <QMimeData>
#include <QUrl>

namespace kestrix {

QStringList DroppedFiles(const QMimeData* mime)
{
    QStringList paths;
    if (!mime || !mime->hasUrls()) return paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

}  // namespace kestrix
