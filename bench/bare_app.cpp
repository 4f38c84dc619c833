// The reference for start-up and memory: a bare Qt Widgets program with a main window of
// the same client size and a menu bar, nothing else.

#include "bench/startup_probe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* game = window.menuBar()->addMenu(QStringLiteral("ゲーム(&G)"));
    game->addAction(QStringLiteral("終了(&X)"));
    window.menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"))->addAction(QStringLiteral("目次(&C)"));
    auto* client = new QWidget(&window);
    client->setFixedSize(400, 400);
    window.setCentralWidget(client);
    armStartupProbe(&window);
    window.show();
    return QApplication::exec();
}
