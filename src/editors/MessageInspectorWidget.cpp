#include "editors/MessageInspectorWidget.h"

#include "editors/EditorFonts.h"
#include "model/transforms/MessageInspector.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

MessageInspectorWidget::MessageInspectorWidget(MIDIDataTransform* transform, QWidget* parent)
    : QWidget(parent), _transform(transform)
{
    setFont(oneSizeSmaller(font()));
    _layout = new QVBoxLayout(this);
    _layout->setContentsMargins(0, 0, 0, 0);
    _log = new QTextEdit(this);
    _log->setReadOnly(true);
    _log->setToolTip(QStringLiteral("Messages Seen"));
    _log->setAcceptRichText(false);
    _log->setLineWrapMode(QTextEdit::NoWrap);
    _log->document()->setMaximumBlockCount(kMaxLogLines);
    _layout->addWidget(_log, 1);
    auto* inspector = qobject_cast<MessageInspector*>(transform);
    if (inspector == nullptr)
        return;
    _messageDescriptionsChangedToSLOT(inspector->getMostRecentMessageDescriptions());
    connect(inspector, &MessageInspector::mostRecentMessageDescriptionsChangedTo, this,
            &MessageInspectorWidget::_messageDescriptionsChangedToSLOT);
}

void MessageInspectorWidget::_messageDescriptionsChangedToSLOT(QString messageDescs)
{
    if (messageDescs.isEmpty())
        return;
    QScrollBar* scroll = _log->verticalScrollBar();
    const bool followEnd = scroll->value() == scroll->maximum();
    QTextCursor cursor(_log->document());
    cursor.movePosition(QTextCursor::End);
    const QStringList lines = messageDescs.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!_log->document()->isEmpty())
            cursor.insertBlock();
        cursor.insertText(line);
    }
    if (followEnd)
        scroll->setValue(scroll->maximum());
}
