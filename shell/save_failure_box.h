#pragma once
// A failed save of the settings, told to the player: at the close, the error, its
// reason and the choice to retry, to quit without saving (losing the rankings and
// settings changed since the last save), or to keep the window open; after a
// rank entry, the error and its reason, the entry being kept for the close.

#include <QString>
#include <functional>

enum class SaveFailureChoice { Retry, QuitWithoutSaving, KeepOpen };

// Shows the error message (with the exception display's "." rule), its reason, and the
// choice.
SaveFailureChoice askAfterFailedSave(const QString& message, const QString& reason = QString());
// Shows the error message and its reason after the save of a rank entry, with one OK.
void tellFailedEntrySave(const QString& message, const QString& reason);

// Tests replace the boxes: the asker gets what a box would show; its answer counts at
// the close only.
struct SaveFailure {
    QString displayText; // the error with the exception display's "." rule
    QString reason;
    bool atClose = true;
};
using SaveFailureAsker = std::function<SaveFailureChoice(const SaveFailure& failure)>;
SaveFailureAsker setSaveFailureAsker(SaveFailureAsker asker);

// The boxes' own texts.
inline const QString saveLossWarning =
    QStringLiteral("保存せずに終了すると、最後に保存した後のランキングと設定の変更は失われます。");
inline const QString entryKeptNote =
    QStringLiteral("この記録は、ウィンドウを閉じるときにもう一度保存します。");
