#pragma once

// Writing a bank and its plain-text export to disk. Both go through a temporary file in the
// target's folder that is renamed over the target at the end, so a failure leaves an earlier file
// of that name whole.

#include <vector>

#include <QDateTime>
#include <QString>

#include "text_bank.h"

namespace kestrix {
class OperationObserver;
}

namespace tessel {

// Builds the bank of `entries` (WriteTextBank) and writes it to `path`, replacing the file there.
// False with `error` (may be null) set when the bank is refused (too large, a Quarn 2 entry without
// a frame) or the file cannot be written; the target is then untouched. Characters without a game
// code are reported through `observer` (may be null), as WriteTextBank does.
bool SaveTextBank(const QString& path, const std::vector<TextBankEntry>& entries, bool isQuarn1,
                  kestrix::OperationObserver* observer, QString* error);

// Writes the plain-text export of `entries` (ExportToText, for the bank at `bankPath`, dated
// `when`) to `path` as UTF-8 with CR LF line ends, replacing the file there. False with `error`
// (may be null) when it cannot be written; the target is then untouched.
bool ExportTextFile(const QString& path, const std::vector<TextBankEntry>& entries, const QString& bankPath,
                    const QDateTime& when, QString* error);

}  // namespace tessel
