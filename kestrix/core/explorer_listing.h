#pragma once

// What the extractor's file explorer lists: the folders of a folder and the archives in it, with
// the picture each one gets and the two orders the explorer sorts by.

#include <QString>

#include <vector>

namespace kestrix {

// Picture numbers of the explorer's items (and of the recent-archives menu, for the archives).
enum class ExplorerImage {
    Archive = 0,       // ".hqr" and any other extension in the recent-archives menu
    Speech = 1,        // ".vox"
    Island = 2,        // ".ile"
    IslandObject = 3,  // ".obl"
    Folder = 26,       // a folder, "[name]"
    Favourite = -2,    // a favourite folder in its menu
};

struct ExplorerItem {
    QString caption;  // "[name]" for a folder (also "[..]"), the file name for an archive
    ExplorerImage image = ExplorerImage::Archive;
    bool isFolder = false;

    // The name without the brackets of a folder; the caption of a file.
    QString name() const;
    friend bool operator==(const ExplorerItem&, const ExplorerItem&) = default;
};

// The picture of an archive by its extension, compared without case: ".vox" Speech, ".ile"
// Island, ".obl" IslandObject, anything else Archive (the rule of the recent-archives menu).
ExplorerImage ArchiveImage(const QString& path);

// Whether the explorer lists a file of this name: its extension, without case, is ".hqr", ".vox",
// ".ile" or ".obl".
bool IsExplorerArchive(const QString& fileName);

// The items of `folder` (with or without a trailing "/"), unsorted: every sub-folder as "[name]"
// (hidden ones too), "[..]" unless `folder` is the file system's root, no "[.]"; every file that
// IsExplorerArchive accepts (symbolic links are followed). A folder that cannot be read gives the
// items that could be listed, which may be none. Names keep their case.
std::vector<ExplorerItem> ListExplorerFolder(const QString& folder);

// True when `a` sorts before `b` by type: folders before files; two folders by caption without
// case; two files by extension (from the last dot) without case, then by the whole caption
// without case. Ties then go by the captions with case, so that the order is total.
bool CompareByType(const ExplorerItem& a, const ExplorerItem& b);

// True when `a` sorts before `b` by name: the captions without case, then with case.
bool CompareByName(const ExplorerItem& a, const ExplorerItem& b);

// Sorts by name (`byName`) or by type.
void SortExplorerItems(std::vector<ExplorerItem>& items, bool byName);

// The folder above `folder` with a trailing "/": "/a/b/" gives "/a/", "/a/" gives "/"; the root
// stays the root.
QString ParentFolder(const QString& folder);

// `folder` with exactly one trailing "/" ("" stays ""), separators in Qt's form.
QString WithTrailingSeparator(const QString& folder);

}  // namespace kestrix
