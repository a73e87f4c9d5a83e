// The timed key-sequence matcher on a clock moved by hand: the extractor's sequence (7,500 ms,
// once per run) and the packer's (20,000 ms, re-armed after the time runs out).

#include <gtest/gtest.h>

#include <QString>

#include <vector>

#include "key_sequence.h"
#include "service_doubles.h"

using kestrix::AfterCompletion;
using kestrix::KeySequenceMatcher;
using testing_support::CountingBeep;
using testing_support::FakeClock;

namespace {

const QString kOwls = QStringLiteral("Grey owls fly over Mira");                      // 23 characters
const QString kHarbour = QStringLiteral("sail to the Harbour of Quiet Amber Sea !");  // 40 characters

// Move the clock by `waitMs`, then type `keys` one by one (the clock stands still while typing).
struct Step {
    qint64 waitMs;
    QString keys;
};

struct MatcherCase {
    const char* name;
    QString sequence;
    qint64 limitMs;
    AfterCompletion rule;
    std::vector<Step> steps;
    int beeps;        // one per matched character
    int completions;  // feed() results of Completed
    int progress;     // position after the last key
};

const MatcherCase kCases[] = {
    {"owlsTypedAtOnce", kOwls, 7500, AfterCompletion::StayDone, {{0, kOwls}}, 23, 1, 23},
    {"strayKeysInTheMiddleAreIgnored",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{0, "Grey xQ#owls fly zover Mira"}},
     23,
     1,
     23},
    {"firstCharacterDoesNotRestartAnAttempt", kOwls, 7500, AfterCompletion::StayDone, {{0, "Grey G"}}, 5, 0, 5},
    {"caseMatters", kOwls, 7500, AfterCompletion::StayDone, {{0, "grey"}}, 0, 0, 0},
    {"clockStartsAtTheFirstMatchNotAtCreation",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{100000, "xyz"}, {7000, "Grey owls"}, {7000, " fly over Mira"}},
     23,
     1,
     23},
    {"exactlyTheLimitStillCounts",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{0, "Grey"}, {7500, " owls fly over Mira"}},
     23,
     1,
     23},
    {"overTheLimitStartsOverAndTheKeyCanBeginAnew",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{0, "Grey"}, {7501, "Grey"}},
     8,
     0,
     4},
    {"limitCountsFromTheFirstMatchNotTheLast",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{0, "Grey"}, {4000, " owls fly"}, {3600, " over Mira"}},
     13,
     0,
     0},
    {"onceDoneNeverAgain",
     kOwls,
     7500,
     AfterCompletion::StayDone,
     {{0, kOwls}, {8000, kOwls}, {100000, kOwls}},
     23,
     1,
     23},
    {"harbourWithAWrongCharacterInTheMiddle",
     kHarbour,
     20000,
     AfterCompletion::RearmAfterTimeLimit,
     {{0, "sail to the Harbxour of Quiet Amber Sea !"}},
     40,
     1,
     40},
    {"harbourMatchesNothingUntilTheTimeRunsOut",
     kHarbour,
     20000,
     AfterCompletion::RearmAfterTimeLimit,
     {{0, kHarbour}, {19000, kHarbour}, {1000, "s"}},
     40,
     1,
     40},
    {"harbourRearmsAfterTheTimeRunsOut",
     kHarbour,
     20000,
     AfterCompletion::RearmAfterTimeLimit,
     {{0, kHarbour}, {20001, kHarbour}},
     80,
     2,
     40},
    {"harbourTooSlowStartsOver",
     kHarbour,
     20000,
     AfterCompletion::RearmAfterTimeLimit,
     {{0, "sail to the "}, {20001, "Harbour"}},
     12,
     0,
     0},
};

class KeySequenceTest : public ::testing::TestWithParam<MatcherCase> {};

TEST_P(KeySequenceTest, BeepsCompletesAndKeepsItsPlace)
{
    const MatcherCase& c = GetParam();
    FakeClock clock(5000);
    CountingBeep beep;
    KeySequenceMatcher matcher(c.sequence, c.limitMs, c.rule, clock, beep);
    int completions = 0;
    for (const Step& step : c.steps) {
        clock.advance(step.waitMs);
        for (QChar key : step.keys) {
            const int before = beep.count;
            const KeySequenceMatcher::Result result = matcher.feed(key);
            if (result == KeySequenceMatcher::Result::Completed) ++completions;
            // Exactly the keys that match beep, each once.
            EXPECT_EQ(beep.count - before, result == KeySequenceMatcher::Result::Ignored ? 0 : 1)
                << "key " << int(key.unicode());
        }
    }
    EXPECT_EQ(beep.count, c.beeps);
    EXPECT_EQ(completions, c.completions);
    EXPECT_EQ(matcher.progress(), c.progress);
    EXPECT_EQ(matcher.isDone(), c.rule == AfterCompletion::StayDone && c.completions > 0);
}

INSTANTIATE_TEST_SUITE_P(Sequences, KeySequenceTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MatcherCase>& row) { return row.param.name; });

}  // namespace
