#pragma once
// The hiscore dialog: the ranking of one level as a table, stepping between levels.

#include "shell/dialog_form.h"

class QLabel;
class QListWidget;
class QPushButton;

class THiscoreForm : public TDialogForm {
public:
    explicit THiscoreForm(QWidget* mainWindow);

    QLabel* LevelLabel = nullptr;
    QPushButton* OKButton = nullptr;
    QListWidget* HiscoreList = nullptr;
    QPushButton* DownButton = nullptr;
    QPushButton* UpButton = nullptr;

    void FormShow() override;
    // Fills the dialog for the level at levelCombo position k (0..4).
    void buildHiscoreTable(int k);
    void DownButtonClick();
    void UpButtonClick();
    void OKButtonClick();
};

extern THiscoreForm* HiscoreForm;
// The levelCombo position whose ranking the dialog shows.
extern int hiscoreLevel;
