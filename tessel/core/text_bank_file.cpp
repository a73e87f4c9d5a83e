#include "text_bank_file.h"

#include "memory_stream.h"

namespace tessel {

bool SaveTextBank(const QString& path, const std::vector<TextBankEntry>& entries, bool isQuarn1,
                  kestrix::OperationObserver* observer, QString* error)
{
    QByteArray bytes;
    QString reason;
    if (!WriteTextBank(entries, isQuarn1, observer, &bytes, &reason)) {
        if (error) *error = reason;
        return false;
    }
    return kestrix::writeFileAtomically(path, bytes, error);
}

bool ExportTextFile(const QString& path, const std::vector<TextBankEntry>& entries, const QString& bankPath,
                    const QDateTime& when, QString* error)
{
    return kestrix::writeFileAtomically(path, ExportToText(entries, bankPath, when).toUtf8(), error);
}

}  // namespace tessel
