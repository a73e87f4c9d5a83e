#include "quiz_table.h"

namespace varnel {

namespace {

QuizQuestion q(const char* question, int points, int right, std::initializer_list<const char*> answers)
{
    QuizQuestion result{QString::fromUtf8(question), static_cast<int>(answers.size()), points, right, {}};
    int i = 0;
    for (const char* answer : answers) result.answers[static_cast<std::size_t>(i++)] = QString::fromUtf8(answer);
    return result;
}

}  // namespace

QString ScoreCodeTimeFormat(const QLocale& locale)
{
    // The long format is the locale's one with seconds; it ends (or starts) with the zone name
    // "t", which would tie the code to the machine's zone, so that field goes. Quoted text is
    // literal and stays as it is.
    const QString longFormat = locale.timeFormat(QLocale::LongFormat);
    QString format;
    bool quoted = false;
    for (const QChar c : longFormat) {
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') continue;
        format += c;
    }
    // A zone written in brackets, "H:mm:ss (t)", leaves the empty brackets behind.
    format.remove(QStringLiteral("()"));
    format.remove(QStringLiteral("[]"));
    return format.simplified();
}

const std::array<QuizQuestion, kQuizQuestionCount>& QuizQuestions()
{
    // The trivia follows what the suite itself knows of the games' files: archive names, the
    // movie list of video.hqr, text banks and their frames. Answer texts shared by several
    // questions are spelled the same on purpose.
    // clang-format off
    static const std::array<QuizQuestion, kQuizQuestionCount> table = {{
        q("Is the jackpot a good or a bad thing ?", 3, 1, {"Good", "Bad", "Don't know"}),
        q("Which archive holds the games' dialogue ?", 2, 1, {"ress.hqr", "text.hqr", "sprites.hqr", "samples.hqr"}),
        q("How many bytes long is the header of an entry ?", 2, 2, {"4", "8", "10", "16"}),
        q("How many bytes does a palette take ?", 2, 2, {"256", "512", "768", "1024"}),
        q("Which movie is entry 17 of video.hqr ?", 3, 1, {"BABY.SMK", "INTRO.SMK", "MOON.SMK", "END.SMK"}),
        q("How many movies does video.hqr hold ?", 3, 2, {"17", "24", "34", "36", "40", "64"}),
        q("Which character breaks a line in a text bank ?", 2, 1, {"#", "@", "$", "&", "|"}),
        q("Which game puts a frame byte in front of a text ?", 1, 1, {"Quarn 1", "Quarn 2"}),
        q("Which frame value shows a text as a radio call ?", 3, 4, {"1", "3", "9", "17", "33", "65"}),
        q("Which frame names the places on the holomap ?", 2, 2,
          {"normal", "big frame", "holomap locations", "inventory description"}),
        q("Which of these archives holds music ?", 2, 0, {"midi_mi.hqr", "ress.hqr", "flasamp.hqr"}),
        q("Which extension do the speech files carry ?", 2, 0, {".vox", ".ile", ".obl", ".hqr"}),
        q("What does an .ile file hold ?", 2, 0, {"an island", "speech", "movies"}),
        q("What does an .obl file hold ?", 2, 0, {"island objects", "speech", "movies", "sprites"}),
        q("How many bytes does a 640 x 480 image take ?", 2, 1, {"65536", "307200", "921600"}),
        q("Which compression types can an entry have ?", 2, 2, {"0 only", "0 and 1", "0, 1 and 2"}),
        q("Which length bias expands an entry of type 2 ?", 2, 2, {"1", "2", "3"}),
        q("How wide is an offset in a text bank ?", 2, 1, {"8 bits", "16 bits", "32 bits"}),
        q("What does the last word of a bank's table hold ?", 3, 1,
          {"the number of texts", "the size of the file", "zero", "a checksum"}),
        q("Which entries of text.hqr are text banks ?", 2, 2, {"all of them", "the odd ones", "the even ones"}),
        q("Which first letter does a Quarn 2 voice entry miss ?", 2, 0, {"R", "C", "V", "W"}),
        q("Which first letter does a Quarn 1 voice entry miss ?", 2, 1, {"R", "C"}),
        q("Which movie ends the list of video.hqr ?", 3, 2, {"END.SMK", "END2.SMK", "BABY.SMK", "ZEELP.SMK", "TAXI_J.SMK"}),
        q("Which of these movies is not in video.hqr ?", 3, 3,
          {"TAXI.SMK", "MOON.SMK", "DELUGE.SMK", "RAIN.SMK", "GROTTE.SMK", "CRASH.SMK"}),
        q("How many movie names begin with BOAT ?", 2, 2, {"2", "3", "4", "5", "6"}),
        q("Where are the raw sprites kept ?", 1, 1, {"sprites.hqr", "spriraw.hqr"}),
        q("Can a text bank be longer than 65535 bytes ?", 1, 1, {"Yes", "No"}),
        q("Which frame value marks a demo text ?", 4, 3, {"9", "33", "65", "129", "255", "1"}),
        q("Which frame value marks an inventory description ?", 5, 2, {"17", "33", "65", "129", "5", "3"}),
        q("What does the mute guard answer when you ask him ?", 2, 2, {"Halt !", "...", "..."}),
        q("Which answer costs you a point ?", -1, 0, {"This one"}),
        q("Which archive holds the sound effects ?", 2, 0, {"samples.hqr", "ress.hqr", "text.hqr", "video.hqr"}),
        q("Which extension does a text bank get ?", 2, 0, {".qbt", ".qim", ".qdc"}),
        q("What does a zero word in a bank's table mean ?", 3, 1,
          {"the end of the table", "nothing, it is skipped", "an empty text"}),
        q("How many questions does the Quarn Quiz ask ?", 10, 1, {"34", "35", "36", "85"}),
    }};
    // clang-format on
    return table;
}

QByteArray ScrambleText(const QByteArray& text, quint16 key)
{
    QByteArray out(text.size(), '\0');
    quint32 k = key;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto c = static_cast<quint8>(static_cast<quint8>(text[i]) ^ static_cast<quint8>(k >> 8));
        out[i] = static_cast<char>(c);
        k = ((k + c) * 52845u + 11719u) & 0xFFFFu;
    }
    return out;
}

QString ScoreCodePlainText(const QString& score, const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + u',' +
           locale.toString(when.time(), ScoreCodeTimeFormat(locale)) + QStringLiteral("==") + score;
}

QString MakeScoreCode(const QString& score, const QDateTime& when, const QLocale& locale)
{
    const QByteArray scrambled = ScrambleText(ScoreCodePlainText(score, when, locale).toUtf8(), kScoreCodeKey);
    return QString::fromLatin1(scrambled.toHex().toUpper());
}

}  // namespace varnel
