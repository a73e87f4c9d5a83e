#include "key_sequence.h"

#include <utility>

namespace kestrix {

KeySequenceMatcher::KeySequenceMatcher(QString sequence, qint64 timeLimitMs, AfterCompletion rule, const Clock& clock,
                                       BeepService& beep)
    : m_sequence(std::move(sequence)), m_limit(qMax<qint64>(0, timeLimitMs)), m_rule(rule), m_clock(clock), m_beep(beep)
{
}

KeySequenceMatcher::Result KeySequenceMatcher::feed(QChar key)
{
    if (m_done || m_sequence.isEmpty()) return Result::Ignored;
    const qint64 now = m_clock.elapsedMs();
    // The limit counts from the first matched character; after a completion that keeps the
    // position at the end, this is also what re-arms a RearmAfterTimeLimit matcher.
    if (m_position > 0 && now - m_start > m_limit) m_position = 0;
    if (m_position >= m_sequence.size() || key != m_sequence.at(m_position)) return Result::Ignored;

    m_beep.beep();
    if (m_position == 0) m_start = now;
    ++m_position;
    if (m_position < m_sequence.size()) return Result::Matched;
    if (m_rule == AfterCompletion::StayDone) m_done = true;
    return Result::Completed;
}

}  // namespace kestrix
