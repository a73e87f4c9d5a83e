#pragma once

// The suite's help files ("Kestrix.hlp", "fileinfo.hlp"): plain UTF-8 text, topics found by number
// (the context help of a control) or by keyword (a search). The format, also described in
// help/README.md:
//
//   # A line that starts with "#" is a comment, anywhere in the file.
//   [section Kestrix main window]   a heading in the contents for the topics that follow
//   [topic 5000]                    starts a topic: a decimal number or a name ("EasterEgg")
//   title: File explorer            optional, only directly after the header line
//   keywords: explorer; folders     optional, separated by ";", only directly after the header
//   hidden: yes                     optional: left out of the contents, still found by number or keyword
//   Text. Lines that follow each other form one paragraph;
//   an empty line ends the paragraph.
//   - A line that starts with "- " is an item of a list;
//     indented lines continue the item, a line at the margin starts a new paragraph.
//
// Text before the first header belongs to no topic and is ignored; a section line ends a topic. A header that is not of
// the form above ("[topic]", "[topic 12" without "]") is ignored together with the lines that follow it up to the next
// good header, so a damaged file only lacks topics. When two topics share a number or a name, the first one counts.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrix {

struct HelpTopic {
    QString name;                  // the text of the header: "5000", "EasterEgg"
    std::optional<qint64> number;  // set when the name is a decimal number
    QString title;
    QString section;      // the section heading it follows, "" before any
    bool hidden = false;  // not listed in the contents
    QStringList keywords;
    QStringList paragraphs;  // a list item is a paragraph of its own that starts with "- "

    // The paragraphs joined by empty lines, as plain text.
    QString plainText() const;
};

class HelpFile {
public:
    // Largest file read; the rest of a longer file is ignored (no help file comes near it).
    static constexpr qint64 kMaxFileSize = 8 * 1024 * 1024;

    // Reads `path`; a missing or unreadable file gives an empty, not loaded HelpFile.
    static HelpFile load(const QString& path);
    // Parses help text. Invalid UTF-8 is replaced, never rejected.
    static HelpFile parse(const QByteArray& utf8);

    // Whether a file was read (a file without topics is loaded, too).
    bool isLoaded() const { return m_loaded; }
    const QList<HelpTopic>& topics() const { return m_topics; }

    // The topic with this number; nullptr when there is none. The pointer lives as long as this object.
    const HelpTopic* topicByNumber(qint64 number) const;
    // The topic whose name or one of whose keywords equals `keyword` (case-insensitive); failing
    // that, the first topic whose name or a keyword starts with it. An empty keyword finds nothing.
    const HelpTopic* topicByKeyword(const QString& keyword) const;

private:
    bool m_loaded = false;
    QList<HelpTopic> m_topics;
};

// The file `name` in `folder` (default: the program folder), matched without regard to case; "" if none.
QString FindHelpFile(const QString& name, const QString& folder = {});

}  // namespace kestrix
