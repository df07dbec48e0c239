#include "widgets/ColorSwatchFrame.h"

#include <QApplication>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDrag>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

ColorSwatchFrame::ColorSwatchFrame(const QColor& color, QWidget* parent)
    : QFrame(parent), _color(color.isValid() ? color : QColor(Qt::black))
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setLineWidth(1);
    setMidLineWidth(1);
    setAcceptDrops(true);
}

void ColorSwatchFrame::setColor(const QColor& color)
{
    if (!color.isValid() || color == _color)
        return;
    _color = color;
    update();
    emit colorChangedTo(_color);
}

bool ColorSwatchFrame::canPickFromScreen()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void ColorSwatchFrame::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const int inset = lineWidth();
        painter.fillRect(frameRect().adjusted(inset, inset, -inset, -inset), _color);
    }
    QFrame::paintEvent(event);
}

void ColorSwatchFrame::mousePressEvent(QMouseEvent* event)
{
    if (_pickingFromScreen) {
        _pickColorAt(event->globalPosition().toPoint());
        _stopPickingFromScreen();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton) {
        _pressPoint = event->position().toPoint();
        _pressed = true;
        _movedSincePress = false;
        event->accept();
        return;
    }
    QFrame::mousePressEvent(event);
}

void ColorSwatchFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (!_pressed || !(event->buttons() & Qt::LeftButton))
        return QFrame::mouseMoveEvent(event);
    // A hand that trembles during a click still clicks; only a move of the platform's drag
    // distance or more carries the colour away.
    if ((event->position().toPoint() - _pressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    _movedSincePress = true;
    _startDrag();
}

void ColorSwatchFrame::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = _pressed && !_movedSincePress && event->button() == Qt::LeftButton;
    _pressed = false;
    _movedSincePress = false;
    if (click)
        _openColorDialog();
    else
        QFrame::mouseReleaseEvent(event);
}

void ColorSwatchFrame::keyPressEvent(QKeyEvent* event)
{
    if (_pickingFromScreen && event->key() == Qt::Key_Escape) {
        _stopPickingFromScreen();
        return;
    }
    QFrame::keyPressEvent(event);
}

void ColorSwatchFrame::_startDrag()
{
    QPointer<ColorSwatchFrame> self(this);
    auto* mimeData = new QMimeData;
    mimeData->setColorData(_color);
    QPixmap image(30, 30);
    image.fill(_color);
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData);
    drag->setPixmap(image);
    drag->exec(Qt::CopyAction);
    // The drag ate the release; the swatch may have gone while it ran.
    if (self) {
        _pressed = false;
        _movedSincePress = false;
    }
}

void ColorSwatchFrame::_openColorDialog()
{
    QPointer<ColorSwatchFrame> self(this);
    QPointer<QColorDialog> dialog = new QColorDialog(_color, this);
    dialog->setWindowTitle(QStringLiteral("Select New Color"));
    const int result = dialog->exec();
    if (!self || !dialog)
        return;
    const QColor chosen = dialog->selectedColor();
    dialog->deleteLater();
    if (result == QDialog::Accepted && chosen.isValid())
        setColor(chosen);
}

void ColorSwatchFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasColor() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ColorSwatchFrame::dropEvent(QDropEvent* event)
{
    const QColor dropped = qvariant_cast<QColor>(event->mimeData()->colorData());
    if (!event->mimeData()->hasColor() || !dropped.isValid()) {
        event->ignore();
        return;
    }
    setColor(dropped);
    event->acceptProposedAction();
}

void ColorSwatchFrame::contextMenuEvent(QContextMenuEvent* event)
{
    if (!canPickFromScreen()) {
        event->ignore();
        return;
    }
    QPointer<ColorSwatchFrame> self(this);
    QMenu* menu = new QMenu(this);
    QAction* pick = menu->addAction(QStringLiteral("Pick Color From Screen..."));
    QAction* chosen = menu->exec(event->globalPos());
    if (!self)
        return;
    menu->deleteLater();
    if (chosen == pick)
        startPickingFromScreen();
}

void ColorSwatchFrame::startPickingFromScreen()
{
    if (_pickingFromScreen || !canPickFromScreen())
        return;
    _pickingFromScreen = true;
    grabMouse(Qt::CrossCursor);
    grabKeyboard();
}

void ColorSwatchFrame::_stopPickingFromScreen()
{
    if (!_pickingFromScreen)
        return;
    _pickingFromScreen = false;
    releaseMouse();
    releaseKeyboard();
}

void ColorSwatchFrame::_pickColorAt(const QPoint& globalPos)
{
    // The screen under the pointer, not the primary one: on a second monitor the primary screen
    // has nothing at this position.
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        return;
    const QPoint local = globalPos - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1).toImage();
    if (pixel.isNull() || pixel.width() < 1 || pixel.height() < 1)
        return;
    setColor(pixel.pixelColor(0, 0));
}
