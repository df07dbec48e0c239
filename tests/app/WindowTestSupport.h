#pragma once

// Shared by the main window tests: answering modal dialogs the way a user would, finding the
// window's actions by their text, and small file helpers.

#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

namespace WindowTestSupport {

/// An answer waiting for a modal dialog. It stops waiting when it goes out of scope, so an answer
/// left over from one test never answers a dialog of the next.
class ModalAnswer
{
public:
    ~ModalAnswer()
    {
        if (timer)
            timer->deleteLater();
    }
    explicit operator bool() const { return answered; }

    bool answered = false;
    QPointer<QTimer> timer;
};

/// Runs `answer` on the next modal widget of type T that comes up (polled from a timer, so it
/// works while the code under test sits in the dialog's own event loop). Keep the result alive
/// for as long as the answer should wait; it becomes true once answered.
template <typename T>
std::shared_ptr<ModalAnswer> whenModalAppears(std::function<void(T*)> answer, int timeoutMs = 120000)
{
    auto result = std::make_shared<ModalAnswer>();
    std::weak_ptr<ModalAnswer> weak = result;
    auto* timer = new QTimer(qApp);
    result->timer = timer;
    timer->setInterval(10);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, weak, deadline] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            if (auto alive = weak.lock())
                alive->answered = true;
            answer(widget);
        } else if (deadline.hasExpired()) {
            timer->stop();
        }
    });
    timer->start();
    return result;
}

/// Clicks the button of the next message box and records its text and title.
inline std::shared_ptr<ModalAnswer> answerMessageBox(QMessageBox::StandardButton button,
                                                     QString* text = nullptr, QString* title = nullptr)
{
    return whenModalAppears<QMessageBox>([button, text, title](QMessageBox* box) {
        if (text)
            *text = box->text();
        if (title)
            *title = box->windowTitle();
        if (QAbstractButton* b = box->button(button))
            b->click();
        else
            box->reject();
    });
}

inline QAction* actionNamed(QWidget* window, const QString& text)
{
    const QList<QAction*> actions = window->findChildren<QAction*>();
    for (QAction* action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

/// A small setup file: one input on "Keys" playing "SynthA" channel 1.
inline QByteArray setupFileBytes(const QString& inputName = QStringLiteral("Keys In"),
                                 const QString& inputPort = QStringLiteral("Keys"), int routes = 1)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE MIDIRoutingSetupDocument>\n"
                      "<MIDIRoutingSetup name=\"Gig\" documentVersion=\"1.0\"><MIDIRoutes>\n";
    for (int i = 0; i < routes; ++i) {
        text += QStringLiteral("<MIDIRoute name=\"%1\" midiPortName=\"%2\" midiChannelIndex=\"127\" "
                               "outputActivationMethod=\"0\"><MIDIOutputs><MIDIOutput name=\"Lead\" "
                               "isActive=\"1\" mainActivationValue=\"36\" activationRangeValue=\"36\">"
                               "<MIDIPatchTargets><MIDIPatchTarget name=\"A\" midiOutputPortName=\"SynthA\" "
                               "midiChannelIndex=\"0\"/></MIDIPatchTargets></MIDIOutput></MIDIOutputs>"
                               "</MIDIRoute>\n")
                    .arg(routes == 1 ? inputName : inputName + QString::number(i + 1), inputPort)
                    .toUtf8();
    }
    text += "</MIDIRoutes></MIDIRoutingSetup>\n";
    return text;
}

} // namespace WindowTestSupport
