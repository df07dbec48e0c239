#include "editors/ValueFieldSupport.h"

#include "widgets/ValueEntryLineEdit.h"

#include <QEvent>
#include <QSignalBlocker>

void showValueInField(ValueEntryLineEdit* field, int value, int minimum, int maximum)
{
    const QSignalBlocker blocker(field);
    field->setIntValue(qBound(minimum, value, maximum));
    field->setModified(false);
}

std::optional<int> committedFieldValue(QLineEdit* field, int minimum, int maximum)
{
    if (!field->isModified())
        return std::nullopt;
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok, 10);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

bool fieldTextIsUnreadable(QLineEdit* field)
{
    bool ok = false;
    field->text().trimmed().toInt(&ok, 10);
    return !ok;
}

void restoreFieldOnFocusOutWhenUnacceptable(QLineEdit* field, std::function<void()> restore)
{
    field->installEventFilter(new UnacceptableFieldRestorer(field, std::move(restore)));
}

UnacceptableFieldRestorer::UnacceptableFieldRestorer(QLineEdit* field, std::function<void()> restore)
    : QObject(field), _field(field), _restore(std::move(restore))
{
}

bool UnacceptableFieldRestorer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == _field && event->type() == QEvent::FocusOut && !_field->hasAcceptableInput())
        _restore();
    return QObject::eventFilter(watched, event);
}
