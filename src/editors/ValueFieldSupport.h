#pragma once

#include <QObject>
#include <functional>
#include <optional>

class QLineEdit;
class ValueEntryLineEdit;

// Helpers shared by the editors' numeric fields. GUI thread only.

/// Shows a model value in a field without announcing it. A value outside the field's range is
/// clamped for display only: the model keeps its value until the user enters another.
void showValueInField(ValueEntryLineEdit* field, int value, int minimum, int maximum);

/// The value the user committed: the field's text read as a decimal integer within the range,
/// or nothing when the text does not read, lies outside the range, or the user did not edit the
/// field since it was last loaded (so merely passing through a field never rewrites the model).
std::optional<int> committedFieldValue(QLineEdit* field, int minimum, int maximum);

/// True when the field was edited by the user and its text does not read as an integer.
bool fieldTextIsUnreadable(QLineEdit* field);

/// Calls `restore` whenever the field loses the keyboard focus holding text its validator does
/// not accept (an empty field, a lone minus sign, a number out of range), which would otherwise
/// stay on screen without ever reaching the model.
void restoreFieldOnFocusOutWhenUnacceptable(QLineEdit* field, std::function<void()> restore);

/// The event filter behind restoreFieldOnFocusOutWhenUnacceptable.
class UnacceptableFieldRestorer : public QObject
{
    Q_OBJECT

public:
    UnacceptableFieldRestorer(QLineEdit* field, std::function<void()> restore);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* _field;
    std::function<void()> _restore;
};
