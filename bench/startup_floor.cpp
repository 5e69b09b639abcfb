// The floor for start-up: a bare Qt Widgets window of the About window's size
// that shows one line of the same Chinese text, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(586, 261);
    QLabel line(QStringLiteral("欢迎使用我们的软件，本工作室接受软件定制"), &window);
    line.move(66, 221);
    window.show();
    return app.exec();
}
