// Text banks: any bytes read in both dialects, then written again. Reading must keep to the
// bank's bytes and report every unknown game code with its sound; writing must either succeed
// or refuse with one of its two reasons, and a written bank must read back to the same texts and
// frames (offsets recomputed back to back) and write again to the same bytes.

#include <QByteArray>

#include "fuzz_check.h"
#include "operation_observer.h"
#include "text_bank.h"

namespace {

class Counter : public kestrix::OperationObserver {
public:
    void notice(const QString& text) override
    {
        if (text.startsWith(QLatin1String("Please email me")))
            ++unknownMessages;
        else
            ++otherNotices;
    }
    void soundRequest(kestrix::Sound sound) override
    {
        FUZZ_CHECK(sound == kestrix::Sound::UnknownCharacter);
        ++sounds;
    }
    int unknownMessages = 0;
    int otherNotices = 0;
    int sounds = 0;
};

// Bytes the writer stores for a display text, counted here without the code under test.
qsizetype storedLength(const QString& text)
{
    qsizetype n = 0;
    for (QChar ch : text)
        if (ch.unicode() >= 32 || ch == u'\r') ++n;
    return n;
}

// WriteTextBank's outcome in one value, for the checks below.
struct Written {
    bool ok = false;
    QByteArray bytes;
    QString error;
};

Written writeToBytes(const std::vector<tessel::TextBankEntry>& entries, bool quarn1,
                     kestrix::OperationObserver* observer)
{
    Written w;
    w.ok = tessel::WriteTextBank(entries, quarn1, observer, &w.bytes, &w.error);
    return w;
}

void checkDialect(const QByteArray& input, bool quarn1)
{
    Counter readCounter;
    const tessel::TextBankLoad load = tessel::readTextBank(input, quarn1, &readCounter);
    FUZZ_CHECK(readCounter.sounds == readCounter.unknownMessages && readCounter.otherNotices == 0);
    if (load.status != tessel::TextBankLoad::Status::Loaded) {
        FUZZ_CHECK(load.entries.empty() && !load.error.isEmpty());
        FUZZ_CHECK(!tessel::isPossibleTextBank(input));
        return;
    }
    FUZZ_CHECK(tessel::isPossibleTextBank(input));

    const std::vector<int> table = tessel::readOffsetTable(input);
    FUZZ_CHECK(table.size() == load.entries.size());
    bool allFramed = true;
    for (std::size_t i = 0; i < load.entries.size(); ++i) {
        const tessel::TextBankEntry& e = load.entries[i];
        FUZZ_CHECK(e.offset == table[i] && e.offset > 0 && e.offset <= 0xFFFF);
        FUZZ_CHECK(e.hasText == (e.offset < input.size() - 1));
        FUZZ_CHECK(e.hasFrame == (e.hasText && !quarn1));
        FUZZ_CHECK(e.hasFrame ? (e.frame >= 0 && e.frame <= 255) : e.frame == -1);
        FUZZ_CHECK(e.hasText || e.text.isEmpty());
        // Display texts hold no control characters but the CR LF of a line break.
        for (qsizetype k = 0; k < e.text.size(); ++k) {
            const char16_t u = e.text[k].unicode();
            if (u == u'\r')
                FUZZ_CHECK(k + 1 < e.text.size() && e.text[k + 1] == u'\n');
            else if (u == u'\n')
                FUZZ_CHECK(k > 0 && e.text[k - 1] == u'\r');
            else
                FUZZ_CHECK(u >= 32);
        }
        if (!e.hasFrame) allFramed = false;
    }

    Counter writeCounter;
    const Written written = writeToBytes(load.entries, quarn1, &writeCounter);
    FUZZ_CHECK(writeCounter.sounds == 0 && writeCounter.unknownMessages == 0);
    const qsizetype n = static_cast<qsizetype>(load.entries.size());
    if (!quarn1 && !allFramed) {
        FUZZ_CHECK(!written.ok && written.bytes.isEmpty() && written.error.startsWith(QLatin1String("Entry ")));
        return;
    }
    qint64 end = 2;
    qint64 lastStart = 2 * (n + 1);
    for (qsizetype i = 0; i + 1 < n; ++i)
        lastStart += (quarn1 ? 0 : 1) + storedLength(load.entries[static_cast<std::size_t>(i)].text) + 1;
    if (n > 0) end = lastStart + 2 * (n + 1) + load.entries.back().text.size();
    if (end > 65535) {
        FUZZ_CHECK(!written.ok && written.bytes.isEmpty());
        FUZZ_CHECK(written.error == QLatin1String(tessel::kOver64KMessage));
        return;
    }
    FUZZ_CHECK(written.ok && written.error.isEmpty());
    FUZZ_CHECK(written.bytes.size() == end);

    Counter againCounter;
    const tessel::TextBankLoad back = tessel::readTextBank(written.bytes, quarn1, &againCounter);
    FUZZ_CHECK(back.status == tessel::TextBankLoad::Status::Loaded);
    FUZZ_CHECK(back.entries.size() == load.entries.size());
    qint64 expectedOffset = 2 * (n + 1);
    for (std::size_t i = 0; i < back.entries.size(); ++i) {
        const tessel::TextBankEntry& was = load.entries[i];
        const tessel::TextBankEntry& now = back.entries[i];
        FUZZ_CHECK(now.offset == expectedOffset && now.hasText);
        expectedOffset += (quarn1 ? 0 : 1) + storedLength(was.text) + 1;
        if (!was.hasText) {
            FUZZ_CHECK(now.text.isEmpty());
            continue;
        }
        FUZZ_CHECK(now.text == was.text);
        FUZZ_CHECK(now.frame == was.frame && now.hasFrame == was.hasFrame);
    }
    // Past the last text's 0 byte the bank is zero filler.
    for (qint64 at = expectedOffset; at < written.bytes.size(); ++at) FUZZ_CHECK(written.bytes[at] == '\0');

    const Written again = writeToBytes(back.entries, quarn1, nullptr);
    FUZZ_CHECK(again.ok && again.bytes == written.bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkDialect(input, true);
    checkDialect(input, false);
    return 0;
}
