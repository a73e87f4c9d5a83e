#pragma once

#include <QStringList>

class QMimeData;

namespace kestrix {

// The local files among the URLs of a drop, in their order, each path whole (however long); other
// URLs are left out. Null or URL-less data gives an empty list.
QStringList DroppedFiles(const QMimeData* mime);

}  // namespace kestrix
