#pragma once

// The grid's rows: the bank's entries as read (offset, text, frame), kept as values beside the
// texts the grid shows, so that saving never converts the shown texts back.

#include <QAbstractTableModel>

#include <vector>

#include "text_bank.h"

namespace kestrix {
class OperationObserver;
}

namespace tessel {

class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The grid's columns, by their control names.
    enum Column { Offset_List = 0, Text_List = 1, ID_Token = 2 };

    explicit TextGridModel(QObject* parent = nullptr);

    // The start state: one row whose text is kNoFileText, no offset, no frame.
    void showNoFile();
    // Replaces every row with `entries` (a load).
    void setEntries(std::vector<TextBankEntry> entries);
    // Whether a bank is shown (false in the start state).
    bool isLoaded() const { return m_loaded; }
    // The rows as values; in the start state the one "No file loaded" row.
    const std::vector<TextBankEntry>& entries() const { return m_entries; }
    // Puts an edited text (and frame) into row `row` through ApplyTextEdit; the later rows' offsets
    // move. False, and nothing changed, for a row outside the bank or before any load.
    bool applyEdit(int row, const QString& text, int frame, bool isQuarn1, kestrix::OperationObserver* observer);

    // The texts a row shows in the offset and frame columns: the offset in decimal ("" in the
    // start state), the frame in decimal or "n\a" for none or 0.
    QString offsetText(int row) const;
    QString frameText(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<TextBankEntry> m_entries;
    bool m_loaded = false;
};

// The start cell's text: "No file loaded", two empty lines and the program's name and version.
extern const char kNoFileText[];

}  // namespace tessel
