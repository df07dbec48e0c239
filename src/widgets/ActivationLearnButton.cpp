#include "widgets/ActivationLearnButton.h"

#include "model/routing/ActivationLearn.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"

#include <QApplication>
#include <QKeyEvent>

ActivationLearnButton::ActivationLearnButton(MIDIOutput* output, QWidget* parent)
    : QPushButton(QStringLiteral("Learn"), parent), _output(output)
{
    setCheckable(true);
    setAutoDefault(false);
    setDefault(false);
    setFocusPolicy(Qt::NoFocus);
    setFixedWidth(55);
    setToolTip(QStringLiteral("Learn Activation Value"));
    setWhatsThis(QStringLiteral(
        "<b>Learn button.</b>  Click, then press the key, send the program change or move the controller "
        "that should activate this output; with a range of values, press the lowest key (or program), then "
        "the highest, or sweep the controller across the range. Press Escape to cancel."));
    _connectedLearn = _learn();
    if (_connectedLearn) {
        connect(_connectedLearn, &ActivationLearn::learnStarted, this,
                &ActivationLearnButton::_learnStateChangedSLOT);
        connect(_connectedLearn, &ActivationLearn::learnt, this,
                &ActivationLearnButton::_learnStateChangedSLOT);
        connect(_connectedLearn, &ActivationLearn::learnCancelled, this,
                &ActivationLearnButton::_learnStateChangedSLOT);
    }
    connect(this, &QPushButton::clicked, this, &ActivationLearnButton::_clickedSLOT);
    _learnStateChangedSLOT();
}

ActivationLearnButton::~ActivationLearnButton()
{
    // A panel that goes away (another input shown, the setup closed) takes its learn with it.
    // No signal of the learn reaches this button (or its panel, half destroyed by now) any more.
    qApp->removeEventFilter(this);
    if (!_connectedLearn)
        return;
    disconnect(_connectedLearn, nullptr, this, nullptr);
    if (_listening && _connectedLearn->getOutput() == _output)
        _connectedLearn->cancel();
}

ActivationLearn* ActivationLearnButton::_learn() const
{
    MIDIRoute* route = _output ? _output->getParentMIDIRoute() : nullptr;
    return route ? route->getActivationLearn() : nullptr;
}

void ActivationLearnButton::_clickedSLOT()
{
    ActivationLearn* learn = _connectedLearn;
    if (!learn || !_output) {
        setChecked(false);
        return;
    }
    if (_listening)
        learn->cancel();
    else if (!learn->start(_output))
        setChecked(false);
    // The learn's signals set the button; a refused start leaves it up.
    _learnStateChangedSLOT();
}

void ActivationLearnButton::_learnStateChangedSLOT()
{
    ActivationLearn* learn = _connectedLearn;
    _setListening(learn && _output && learn->isLearning() && learn->getOutput() == _output);
}

void ActivationLearnButton::_setListening(bool listening)
{
    setChecked(listening);
    if (listening == _listening)
        return;
    _listening = listening;
    // The pressed look alone is faint in some styles: the text says what a click does now.
    setText(listening ? QStringLiteral("Cancel") : QStringLiteral("Learn"));
    setToolTip(listening ? QStringLiteral("Cancel Learning (Escape)")
                         : QStringLiteral("Learn Activation Value"));
    if (listening)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
    emit listeningChangedTo(listening);
}

QString ActivationLearnButton::listeningPrompt() const
{
    MIDIRoute* route = _output ? _output->getParentMIDIRoute() : nullptr;
    if (!route)
        return QString();
    const bool range = route->isOutputActivationValueRange();
    if (route->isActivationMethodKeyswitch())
        return range ? QStringLiteral("Play the keys…") : QStringLiteral("Press a key…");
    if (route->isActivationMethodProgramChange())
        return range ? QStringLiteral("Send the programs…") : QStringLiteral("Send a program…");
    return (range ? QStringLiteral("Sweep CC %1…") : QStringLiteral("Move CC %1…"))
        .arg(route->getActivationControllerNumber());
}

bool ActivationLearnButton::eventFilter(QObject* watched, QEvent* event)
{
    // Escape in this window cancels, whichever control has the focus; other windows (a dialog)
    // keep their own Escape.
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && _listening &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == window()) {
            if (type == QEvent::ShortcutOverride) {
                // No shortcut takes it: the key press follows and cancels.
                event->accept();
                return true;
            }
            if (_connectedLearn)
                _connectedLearn->cancel();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}
