#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStyleFactory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvell"));
    QApplication::setOrganizationName(QStringLiteral("Dunmoor Software"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVELL_VERSION));
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvell"));
    window.setCentralWidget(new QLabel(QStringLiteral("Quorvell"), &window));
    window.resize(640, 400);
    window.show();
    return app.exec();
}
