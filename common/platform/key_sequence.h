#pragma once

// A hidden key sequence typed into a window: characters in order, case-sensitive, on a time limit.

#include <QChar>
#include <QString>
#include <QtGlobal>

#include "beep.h"
#include "system_clock.h"

namespace kestrix {

// What the matcher does once the whole sequence has been typed.
enum class AfterCompletion {
    StayDone,             // never matches again in this matcher's life (once per run)
    RearmAfterTimeLimit,  // matches nothing until the time limit runs out, then starts over
};

// Follows typed characters against a fixed sequence. State: the position of the next expected
// character and the time of the first matched character of the current attempt.
//  - On every key (unless done for good): when more than the time limit has passed since that
//    first match, the attempt starts over from the first character.
//  - A key equal to the expected character beeps once, advances, and on the first character
//    starts the clock. Any other key changes nothing: neither progress nor time is reset, and a
//    key equal to the first character does not restart an attempt under way.
class KeySequenceMatcher {
public:
    enum class Result {
        Ignored,    // the key did not match (or the matcher is done)
        Matched,    // the key was the next character, the sequence is not complete yet
        Completed,  // the key was the last character
    };

    // `clock` and `beep` are borrowed and must outlive the matcher. An empty sequence never
    // matches anything; a negative time limit counts as 0.
    KeySequenceMatcher(QString sequence, qint64 timeLimitMs, AfterCompletion rule, const Clock& clock,
                       BeepService& beep);

    // Feeds one typed character.
    Result feed(QChar key);

    // Number of characters matched in the current attempt.
    int progress() const { return m_position; }
    // True once a StayDone matcher has completed.
    bool isDone() const { return m_done; }
    const QString& sequence() const { return m_sequence; }

private:
    QString m_sequence;
    qint64 m_limit;
    AfterCompletion m_rule;
    const Clock& m_clock;
    BeepService& m_beep;
    int m_position = 0;
    qint64 m_start = 0;
    bool m_done = false;
};

}  // namespace kestrix
