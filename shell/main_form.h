#pragma once
// The main window: the title screen and the game screen over one 400x400 client area.

#include <QMainWindow>

class QLabel;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);

    QWidget* client() const { return client_; }

private:
    QWidget* client_ = nullptr;
    QLabel* TitleImage = nullptr;
};

extern TMainForm* MainForm;
