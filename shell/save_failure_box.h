#pragma once
// The question after a failed save of the settings at close: the error, and the choice
// to retry, to quit without saving (losing the rankings and settings changed since the
// program started), or to keep the window open.

#include <QString>
#include <functional>

enum class SaveFailureChoice { Retry, QuitWithoutSaving, KeepOpen };

// Shows the error message (with the exception display's "." rule) and the choice.
SaveFailureChoice askAfterFailedSave(const QString& message);

// Tests replace the box: the asker gets the error's display text.
using SaveFailureAsker = std::function<SaveFailureChoice(const QString& displayText)>;
SaveFailureAsker setSaveFailureAsker(SaveFailureAsker asker);

// The box's own texts.
inline const QString saveLossWarning =
    QStringLiteral("保存せずに終了すると、起動後のランキングと設定の変更は失われます。");
