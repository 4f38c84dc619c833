#include "support/shell_fixture.h"

#include "game/game_state.h"
#include "game/round.h"
#include "platform/app_folder.h"
#include "platform/exception_display.h"
#include "screen/frame.h"
#include "shell/hiscore_form.h"
#include "shell/main_form.h"
#include "shell/version_form.h"
#include "store/ranking.h"

#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>

#include <cstdio>
#include <cstdlib>

ShellFixture::ShellFixture(const QString& dataFolder, const QImage& sheet)
    : folder(dataFolder), sheet_(sheet) {
    setDataFolder(folder);
    setPlatform(&vp);
    vp.setTimerHandler(timerTimer);
    setExceptionShower([this](const QString& text) { errors << text; });
    setSaveFailureAsker([this](const SaveFailure& failure) {
        errors << failure.displayText;
        saveFailureReasons << failure.reason;
        if (!failure.atClose || saveFailureAnswers.isEmpty())
            return SaveFailureChoice::KeepOpen;
        return saveFailureAnswers.takeFirst();
    });
    if (sheet_.isNull())
        initPictures();
    else
        initPictures(sheet_);
    gameState = GameState{};
    backgroundChoice = 0;
    defaultName.clear();
    create();
}

ShellFixture::~ShellFixture() {
    destroy();
    setExceptionShower(nullptr);
    setSaveFailureAsker(nullptr);
    setPlatform(nullptr);
    setDataFolder(QString());
}

void ShellFixture::create() {
    MainForm = new TMainForm;
    MainForm->FormCreate();
    VersionForm = new TVersionForm(MainForm);
    HiscoreForm = new THiscoreForm(MainForm);
    MainForm->show();
}

void ShellFixture::destroy() {
    delete MainForm; // the dialogs with it
    MainForm = nullptr;
    VersionForm = nullptr;
    HiscoreForm = nullptr;
}

bool ShellFixture::close() {
    return MainForm->close();
}

void ShellFixture::restart() {
    if (MainForm->isVisible() && !close()) {
        std::fprintf(stderr, "restart: the main window did not close\n");
        std::abort();
    }
    destroy();
    gameState = GameState{};
    backgroundChoice = 0;
    defaultName.clear();
    create();
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::abort();
    }
}

QStringList profileKeys(const QString& text) {
    QStringList keys;
    QString section;
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    for (const QString& raw : text.split(lineBreak)) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')))
            section = line.mid(1, line.size() - 2);
        else if (line.contains(QLatin1Char('=')))
            keys << section + QLatin1Char('/') + line.section(QLatin1Char('='), 0, 0);
    }
    return keys;
}

void openRankEntry(int k, int score, const QString& name, int vanish, int phase) {
    gameState.level = levelOfPosition(k);
    gameState.score = score;
    gameState.vanishCount = vanish;
    gameState.phase = phase;
    MainForm->offerRankEntry(defaultName);
    MainForm->showOkButton();
    MainForm->NameEdit->setText(name);
}
