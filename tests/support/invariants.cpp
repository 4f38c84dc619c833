#include "support/invariants.h"

#include "game/game_state.h"
#include "game/round_mark.h"
#include "screen/frame.h"
#include "support/game_harness.h"

QString GameInvariants::check(bool timerRunning, bool idle) {
    const GameState& g = gameState;
    const RoundMark mark = roundMark();
    if (mark == RoundMark::None)
        return {};
    if (g.score < 0 || g.score > 999999999)
        return QStringLiteral("score %1").arg(g.score);
    if (g.phase < 1 || g.phase > 999)
        return QStringLiteral("phase %1").arg(g.phase);
    if (hasFacingPair())
        return QStringLiteral("a facing pair");
    if (mark == RoundMark::Running) {
        for (int c = 0; c < 6; ++c)
            if (g.cells[c][11] != 0)
                return QStringLiteral("row 11 occupied in a running round");
    } else if (timerRunning || g.inputEnabled != 0) {
        return QStringLiteral("timer or keys on after the round ended or was left");
    }
    if (!idle)
        return {};

    const QString run = columnRunViolation();
    if (!run.isEmpty())
        return run;
    if (g.blockCount != occupiedCells())
        return QStringLiteral("blockCount %1, cells %2").arg(g.blockCount).arg(occupiedCells());
    if (g.vanishCount < 0 || g.vanishCount > 9999)
        return QStringLiteral("vanishCount %1").arg(g.vanishCount);
    // (An advance sets the new limit before its rows and resets the count after.)
    if (g.limit < 5 || g.limitElapsed > g.limit)
        return QStringLiteral("limit %1, elapsed %2").arg(g.limit).arg(g.limitElapsed);
    if (mark == RoundMark::Running) {
        if (!timerRunning || g.inputEnabled != 1)
            return QStringLiteral("a running round with its timer or keys off");
        ++fieldChecks_;
        const QString mismatch = fieldFrameMismatch(pictures.TmpImage);
        if (!mismatch.isEmpty())
            return mismatch;
        // What the player sees is the frame (whole-picture compare: now and then).
        if (fieldChecks_ % 16 == 0 && pictures.MainImage != pictures.TmpImage)
            return QStringLiteral("the frame was not presented");
    }
    return {};
}
