// Thousands of rounds driven by random keys, ticks, activation changes, returns to the
// title and new STARTs in random interleavings, with the game's invariants checked
// after every handler the message loop dispatches.

#include "game/controls.h"
#include "game/game_state.h"
#include "game/round.h"
#include "game/round_mark.h"
#include "support/game_harness.h"
#include "support/invariants.h"

#include <QtTest>

#include <algorithm>
#include <chrono>
#include <random>

namespace {

class Soak {
public:
    explicit Soak(std::uint32_t seed) : rng(seed) {
        h.vp.setAfterDispatch([this] { check(); });
    }

    // Runs until `target` rounds have started, a check fails, or no round has started for
    // stallMs of virtual time (the longest round of the usual run takes a minute and a
    // half): then it returns early, also from a sequence that never ends.
    void run(int target) {
        h.vp.scheduleIn(0, [this] { pump(); });
        try {
            while (rounds < target && failure.isEmpty() && !stalled())
                h.vp.runUntil(h.vp.nowMs() + 10000);
        } catch (const Stalled&) {
        }
    }

    GameHarness h;
    std::mt19937 rng;
    int rounds = 0;
    long events = 0;
    GameInvariants invariants;
    std::int64_t lastStartMs = 0;  // virtual time of the latest START
    std::int64_t longestGapMs = 0; // between two STARTs
    int returns = 0;               // menu commands back to the title
    int nestedReturns = 0;         // of them, inside a running sequence
    QString failure;

private:
    // Thrown past the game's handlers (not a std::exception, which they catch).
    struct Stalled {};
    static constexpr std::int64_t stallMs = 10 * 60 * 1000;
    bool stalled() const { return h.vp.nowMs() - lastStartMs > stallMs; }

    int below(int n) { return int(rng() % std::uint32_t(n)); }

    void clickStart() {
        if (!h.view.titleVisible)
            return;
        h.view.position = below(5);
        backgroundChoice = below(4);
        // Most rounds are left early; some are played until "OUT!".
        const bool persistent = below(100) < 20;
        quitWeight = persistent ? 2 : 60;
        fireWeight = persistent ? 320 : 150;
        ++rounds;
        longestGapMs = std::max(longestGapMs, h.vp.nowMs() - lastStartMs);
        lastStartMs = h.vp.nowMs();
        messagesBefore = int(h.view.messages.size());
        oksBefore = h.view.okShowings;
        const int shown = h.view.titleHidings;
        h.view.clickStart();
        if (h.view.titleHidings == shown)
            fail(QStringLiteral("START did not start a round"));
    }

    void leaveAndMaybeStart() {
        if (h.view.menuReturnToTitle()) {
            ++returns;
            nestedReturns += h.vp.dispatchDepth() > 1;
        }
        if (below(2) == 0)
            clickStart(); // START at once, inside whatever sequence was running
    }

    // One random action of the player, then the next one a random while later (often at
    // once, so that actions pile up inside the blocking sequences).
    void pump() {
        if (!failure.isEmpty())
            return;
        // The next action is scheduled first, so that it can come in the middle of this one.
        const int gap = below(4) == 0 ? 0 : below(200);
        h.vp.scheduleIn(gap, [this] { pump(); });
        const int roll = below(970 + quitWeight + 22);
        if (h.view.titleVisible) {
            if (roll < 600)
                clickStart();
        } else if (h.view.okVisible && roll < 300) {
            h.view.clickOk();
        } else if (roundMark() == RoundMark::Ended && !h.view.okVisible && roll < 80) {
            leaveAndMaybeStart(); // the end sequence is running: its window is short
        } else if (roll < 900 - fireWeight) {
            FormKeyDown(below(2) ? keyLeft : keyRight);
        } else if (roll < 900) {
            FormKeyDown(keyFire);
        } else if (roll < 930) {
            FormKeyDown(std::uint16_t(below(0x10000)));
        } else if (roll < 970) {
            h.vp.setMainWindowActive(false);
            h.vp.scheduleIn(50 + below(1500), [this] { h.vp.setMainWindowActive(true); });
        } else if (roll < 970 + quitWeight) {
            leaveAndMaybeStart();
        } else {
            h.vp.pause(below(400)); // a slow handler
        }
    }

    void fail(const QString& what) {
        if (failure.isEmpty())
            failure = QStringLiteral("after %1 events, round %2, at %3 ms: %4\n%5")
                          .arg(events)
                          .arg(rounds)
                          .arg(h.vp.nowMs())
                          .arg(what, fieldText());
    }

    void check() {
        ++events;
        if (stalled())
            throw Stalled();
        if (roundMark() == RoundMark::None)
            return;
        const QString broken = invariants.check(h.vp.timerRunning(), h.vp.dispatchDepth() == 0);
        if (!broken.isEmpty())
            fail(broken);
        int outs = 0; // in this round
        for (qsizetype i = messagesBefore; i < h.view.messages.size(); ++i)
            outs += h.view.messages[i].first == QLatin1String("OUT!");
        if (outs > 1 || h.view.okShowings - oksBefore > 1)
            fail(QStringLiteral("the round ended twice"));
        if (!h.view.violations.isEmpty())
            fail(h.view.violations.join(QLatin1Char('\n')));
        if (!h.errors.isEmpty())
            fail(QStringLiteral("error shown: ") + h.errors.join(QLatin1Char('\n')));
    }

    int messagesBefore = 0;
    int oksBefore = 0;
    // Per mille of the actions: the menu command back to the title, the fire key.
    int quitWeight = 2;
    int fireWeight = 320;
};

} // namespace

class TestSoakRounds : public QObject {
    Q_OBJECT
private slots:
    void randomRounds();
};

void TestSoakRounds::randomRounds() {
    const std::uint32_t seed =
        qEnvironmentVariableIsSet("FLINDER_SOAK_SEED")
            ? std::uint32_t(qEnvironmentVariableIntValue("FLINDER_SOAK_SEED"))
            : 20240607u;
    const int target = qEnvironmentVariableIsSet("FLINDER_SOAK_ROUNDS")
                           ? qEnvironmentVariableIntValue("FLINDER_SOAK_ROUNDS")
                           : 2500;
    const auto started = std::chrono::steady_clock::now();
    Soak soak(seed);
    soak.run(target);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto& messages = soak.h.view.messages;
    auto shown = [&messages](const char* text) {
        return int(std::count_if(messages.begin(), messages.end(),
                                 [text](const auto& m) { return m.first == QLatin1String(text); }));
    };
    qInfo("soak seed %u: %d rounds (%d \"OUT!\", %d \"PERFECT!\", %d returns to the title, %d "
          "of them inside a sequence), %ld events checked, %ld field checks, %lld s virtual, "
          "at most %lld s between two STARTs, %.1f s",
          seed, soak.rounds, shown("OUT!"), shown("PERFECT!"), soak.returns, soak.nestedReturns,
          soak.events, soak.invariants.fieldChecks(),
          static_cast<long long>(soak.h.vp.nowMs() / 1000),
          static_cast<long long>(soak.longestGapMs / 1000), seconds);
    QVERIFY2(soak.failure.isEmpty(), qPrintable(soak.failure));
    QVERIFY2(
        soak.rounds >= target,
        qPrintable(QStringLiteral("rounds stopped starting after %1 of them").arg(soak.rounds)));
    // The soak reached what it is for, in proportion to its rounds: rounds played to
    // "OUT!", returns to the title, some of them from inside a running sequence, and the
    // field checked at every step.
    QVERIFY(shown("OUT!") >= target / 50);
    QVERIFY(soak.returns >= target / 2);
    QVERIFY(soak.nestedReturns >= target / 10);
    QVERIFY(soak.invariants.fieldChecks() >= 10L * target);
}

QTEST_MAIN(TestSoakRounds)
#include "test_soak_rounds.moc"
