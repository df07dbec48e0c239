#pragma once

#include <QPointer>
#include <QPushButton>

class ActivationLearn;
class MIDIOutput;

/// The "Learn" button beside an output's activation value: a click makes the output's input listen
/// for the next switching message (the key, program change or controller that should activate the
/// output); while it listens the button stays down, the panel shows what to play, and Escape
/// anywhere in the window or a second click cancels. GUI thread only.
class ActivationLearnButton : public QPushButton
{
    Q_OBJECT

public:
    ActivationLearnButton(MIDIOutput* output, QWidget* parent);
    ~ActivationLearnButton() override;

    /// True while the input listens for this output's value.
    bool isListening() const { return _listening; }
    /// What to play, as the panel shows it while listening ("Press a key…"), plain text.
    QString listeningPrompt() const;

signals:
    void listeningChangedTo(bool listening);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void _clickedSLOT();
    void _learnStateChangedSLOT();

private:
    ActivationLearn* _learn() const;
    void _setListening(bool listening);

    QPointer<MIDIOutput> _output;
    QPointer<ActivationLearn> _connectedLearn;
    bool _listening = false;
};
