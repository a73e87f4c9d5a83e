#pragma once

// The questions of the hidden Quarn Quiz and the score code shown when it is finished.
// QtCore only, so that the table and the code can be tested without windows.

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <array>

namespace varnel {

struct QuizQuestion {
    QString question;                // shown as the caption of the answer group
    int answerCount;                 // 1 to 6 answers in use
    int points;                      // added to the score for the right answer; may be negative
    int rightAnswer;                 // 0-based, below answerCount
    std::array<QString, 6> answers;  // only the first answerCount are used
};

inline constexpr int kQuizQuestionCount = 35;

// The fixed table, numbered 0 to 34.
const std::array<QuizQuestion, kQuizQuestionCount>& QuizQuestions();

// The key the score code is scrambled with.
inline constexpr quint16 kScoreCodeKey = 40613;

// Scrambles `text` with the 16-bit `key`: each output byte is the input byte XOR the key's high
// byte, and the key then moves on with the output byte ((key + c) * 52845 + 11719, 16 bits).
// The result is as long as the input.
QByteArray ScrambleText(const QByteArray& text, quint16 key);

// The time format of the score code: `locale`'s time format with seconds, without the time zone
// name ("HH:mm:ss" in German, "h:mm:ss AP" in US English), so that the same second gives the
// same text wherever the machine's clock is set.
QString ScoreCodeTimeFormat(const QLocale& locale);

// The text behind a score code: the date in `locale`'s short date format, ",", the time in the
// score code's time format above, "==" and the score text.
QString ScoreCodePlainText(const QString& score, const QDateTime& when, const QLocale& locale);

// The code shown at the end of the quiz: the plain text above in UTF-8, scrambled with
// kScoreCodeKey, every byte written as two upper-case hexadecimal digits.
QString MakeScoreCode(const QString& score, const QDateTime& when = QDateTime::currentDateTime(),
                      const QLocale& locale = QLocale::system());

}  // namespace varnel
