#pragma once

#include <QList>
#include <QWidget>

class ColorSwatchFrame;
class QLineEdit;
class QPushButton;

/// The preferences dialog's color labels tab: one swatch and one name field per label, in two
/// column groups, and "Set To Defaults". The labels themselves change only in applyToLabels(),
/// which the dialog calls on OK. GUI thread only.
class ColorLabelPrefsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ColorLabelPrefsWidget(QWidget* parent);

    /// Gives every label the color of its swatch and the name of its field.
    void applyToLabels() const;

    int getNumLabels() const { return _swatches.size(); }
    ColorSwatchFrame* swatchAt(int index) const { return _swatches.value(index); }
    QLineEdit* nameFieldAt(int index) const { return _nameFields.value(index); }
    QPushButton* defaultsButton() const { return _defaultsButton; }

public slots:
    /// Fills swatches and fields with the default labels.
    void setToDefaults();

private:
    void _buildUI();

    QList<ColorSwatchFrame*> _swatches;
    QList<QLineEdit*> _nameFields;
    QPushButton* _defaultsButton = nullptr;
};
