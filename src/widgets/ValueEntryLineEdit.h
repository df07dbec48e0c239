#pragma once

#include <QLineEdit>

class QIntValidator;

/// A centred field for a whole number within a range. Focusing it selects the whole text, so
/// typing replaces the value; Return or leaving with an acceptable number finishes the entry and
/// gives up the focus. Leaving with a number that is not acceptable (empty, out of range) puts
/// back the value the field had, and Escape does the same at once. GUI thread only.
class ValueEntryLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit ValueEntryLineEdit(QWidget* parent = nullptr);

    void setIntMinMax(int minimum, int maximum);
    /// The text read as a decimal number; 0 when it is not one.
    int getIntValue() const;
    void setIntValue(int value);
    /// Fixed width for n digits: the width of n capital "W"s plus 3 pixels. Ignored for n < 0.
    void setWidthForNumDigits(int numDigits);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void _editingFinishedSLOT();

private:
    QIntValidator* _validator = nullptr;
    QString _restoreText;       // the last value shown before the user began typing
    bool _discardEntry = false; // Escape: leave without taking what was typed
};
