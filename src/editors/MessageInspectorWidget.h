#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class MIDIDataTransform;
class QTextEdit;
class QVBoxLayout;

/// The editor of an "Inspector" transform: a read-only running log of the messages that reach the
/// inspector, one line per message. Only the most recent lines are kept, so a long evening of
/// traffic neither eats memory nor slows the window. GUI thread only.
class MessageInspectorWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxLogLines = 1000;

    MessageInspectorWidget(MIDIDataTransform* transform, QWidget* parent);

    QTextEdit* getLog() const { return _log; }

private slots:
    void _messageDescriptionsChangedToSLOT(QString messageDescs);

private:
    QPointer<MIDIDataTransform> _transform;
    QVBoxLayout* _layout = nullptr;
    QTextEdit* _log = nullptr;
};
