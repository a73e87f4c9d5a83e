#pragma once

// A short list of paths shown in a menu, each with a picture number: the extractor's recent
// archives ("Reopen...") and favourite folders. Newest first; a path added again moves to the
// top; a full list loses its oldest path. Saved under the settings key and restored in the same
// order.

#include <QString>

#include <vector>

namespace kestrix {

class RegistryKey;

struct RecentPath {
    QString path;
    int image = 0;
    friend bool operator==(const RecentPath&, const RecentPath&) = default;
};

class RecentPaths {
public:
    static constexpr int kMaxPaths = 10;

    // `maximum` is capped to 1 .. kMaxPaths.
    explicit RecentPaths(int maximum = kMaxPaths);

    // Puts `path` at the top with `image`; an equal path already listed (compared with case) moves
    // up and takes the new image; the oldest leaves a full list. An empty path is ignored.
    void add(const QString& path, int image);
    // Replaces the whole list (`paths` in menu order, the first at the top), keeping the first
    // `maximum` non-empty ones; a repeated path is kept once, where it first stands.
    void replace(const std::vector<RecentPath>& paths);
    void clear();

    const std::vector<RecentPath>& items() const { return m_items; }
    QStringList paths() const;
    bool isEmpty() const { return m_items.empty(); }
    int maximum() const { return m_maximum; }

    // Writes the list under `key`'s subkey `name`, replacing what was there: "Count" and, for each
    // item i from 0 at the top, "Item<i>" (text) and "Image<i>" (integer). Creates the key.
    void save(RegistryKey& key, const QString& name) const;
    // Reads what save() wrote, without creating anything. False (the list left as it was) when the
    // subkey is absent; items whose path is missing are skipped, a count past the maximum is cut.
    bool restore(const RegistryKey& key, const QString& name);

private:
    int m_maximum;
    std::vector<RecentPath> m_items;
};

}  // namespace kestrix
