#include "widgets/ValueEntryLineEdit.h"

#include <QFocusEvent>
#include <QIntValidator>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>

ValueEntryLineEdit::ValueEntryLineEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    _validator = new QIntValidator(this);
    // Plain digits only: no group separators that would read as "not a number" later.
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    _validator->setLocale(plain);
    setValidator(_validator);
    connect(this, &QLineEdit::editingFinished, this, &ValueEntryLineEdit::_editingFinishedSLOT);
}

void ValueEntryLineEdit::setIntMinMax(int minimum, int maximum)
{
    _validator->setRange(minimum, maximum);
}

int ValueEntryLineEdit::getIntValue() const
{
    bool ok = false;
    const int value = text().toInt(&ok, 10);
    return ok ? value : 0;
}

void ValueEntryLineEdit::setIntValue(int value)
{
    setText(QString::number(value));
    _restoreText = text();
}

void ValueEntryLineEdit::setWidthForNumDigits(int numDigits)
{
    if (numDigits < 0)
        return;
    setFixedWidth(fontMetrics().boundingRect(QString(numDigits, QLatin1Char('W'))).width() + 3);
}

void ValueEntryLineEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    _restoreText = text();
    // Later, so that the click that gave the focus does not place the cursor over the selection.
    QTimer::singleShot(1, this, &QLineEdit::selectAll);
}

void ValueEntryLineEdit::focusOutEvent(QFocusEvent* event)
{
    if (_discardEntry || !hasAcceptableInput()) {
        // The entry is dropped: the old value comes back and nobody is told the edit finished.
        _discardEntry = false;
        setText(_restoreText);
        const QSignalBlocker quiet(this);
        QLineEdit::focusOutEvent(event);
        return;
    }
    QLineEdit::focusOutEvent(event);
}

void ValueEntryLineEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && hasFocus()) {
        _discardEntry = true;
        clearFocus();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ValueEntryLineEdit::_editingFinishedSLOT()
{
    _restoreText = text();
    clearFocus();
}
