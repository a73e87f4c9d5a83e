#include "recent_paths.h"

#include <QStringList>

#include <algorithm>

#include "settings_store.h"

namespace kestrix {

namespace {

const char kCountValue[] = "Count";

QString itemValue(int index)
{
    return QStringLiteral("Item%1").arg(index);
}

QString imageValue(int index)
{
    return QStringLiteral("Image%1").arg(index);
}

}  // namespace

RecentPaths::RecentPaths(int maximum) : m_maximum(std::clamp(maximum, 1, kMaxPaths)) {}

void RecentPaths::add(const QString& path, int image)
{
    if (path.isEmpty()) return;
    std::erase_if(m_items, [&](const RecentPath& item) { return item.path == path; });
    m_items.insert(m_items.begin(), {path, image});
    if (m_items.size() > static_cast<std::size_t>(m_maximum)) m_items.resize(m_maximum);
}

void RecentPaths::replace(const std::vector<RecentPath>& paths)
{
    m_items.clear();
    for (const RecentPath& item : paths) {
        if (m_items.size() == static_cast<std::size_t>(m_maximum)) break;
        if (item.path.isEmpty()) continue;
        const bool listed =
            std::any_of(m_items.begin(), m_items.end(), [&](const RecentPath& r) { return r.path == item.path; });
        if (!listed) m_items.push_back(item);
    }
}

void RecentPaths::clear()
{
    m_items.clear();
}

QStringList RecentPaths::paths() const
{
    QStringList result;
    for (const RecentPath& item : m_items) result << item.path;
    return result;
}

void RecentPaths::save(RegistryKey& key, const QString& name) const
{
    RegistryKey list = key.subkey(name);
    list.deleteKey();
    list.writeInteger(QString::fromLatin1(kCountValue), static_cast<qint32>(m_items.size()));
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        list.writeText(itemValue(static_cast<int>(i)), m_items[i].path);
        list.writeInteger(imageValue(static_cast<int>(i)), m_items[i].image);
    }
}

bool RecentPaths::restore(const RegistryKey& key, const QString& name)
{
    const RegistryKey list = key.subkey(name);
    if (!list.exists()) return false;
    // A missing or damaged count reads as an empty list: the key is ours, so that is all it can mean.
    const int count = std::clamp(list.readInteger(QString::fromLatin1(kCountValue)).value_or(0), 0, m_maximum);
    std::vector<RecentPath> read;
    for (int i = 0; i < count; ++i) {
        const std::optional<QString> path = list.readText(itemValue(i));
        if (!path) continue;
        read.push_back({*path, list.readInteger(imageValue(i)).value_or(0)});
    }
    replace(read);
    return true;
}

}  // namespace kestrix
