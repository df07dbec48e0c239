#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

/// Watches for message boxes that a test's action opens modally, notes each box's title and text
/// and answers it with its default button (or the button given), so the action can go on.
/// Header-only, for the dialog tests of this folder.
class ModalBoxCatcher : public QObject
{
public:
    explicit ModalBoxCatcher(QObject* parent = nullptr) : QObject(parent)
    {
        _timer.setInterval(10);
        QObject::connect(&_timer, &QTimer::timeout, this, [this] { _poll(); });
        _timer.start();
    }

    /// Answer boxes with this button instead of closing them.
    void setAnswer(QMessageBox::StandardButton button) { _answer = button; }

    QStringList titles() const { return _titles; }
    QStringList texts() const { return _texts; }
    int count() const { return _titles.size(); }
    QString lastTitle() const { return _titles.isEmpty() ? QString() : _titles.last(); }
    QString lastText() const { return _texts.isEmpty() ? QString() : _texts.last(); }
    void clear()
    {
        _titles.clear();
        _texts.clear();
    }

private:
    void _poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == _answered)
            return;
        _answered = box;
        _titles << box->windowTitle();
        _texts << box->text();
        if (_answer != QMessageBox::NoButton && box->button(_answer))
            box->button(_answer)->click();
        else
            box->done(QMessageBox::Ok);
    }

    QTimer _timer;
    QPointer<QMessageBox> _answered;
    QMessageBox::StandardButton _answer = QMessageBox::NoButton;
    QStringList _titles;
    QStringList _texts;
};
