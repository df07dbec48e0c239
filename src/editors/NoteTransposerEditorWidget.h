#pragma once

#include <QPointer>
#include <QWidget>

class MIDIDataTransform;
class QHBoxLayout;
class QLabel;
class ValueEntryLineEdit;

/// The editor of a "Transpose" transform: octaves (int2, -10 to 10, the most that can still
/// yield a valid note) and semitones (int1, -127 to 127). GUI thread only.
class NoteTransposerEditorWidget : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxOctaves = 127;
    static constexpr int kMaxSemitones = 127;

    NoteTransposerEditorWidget(MIDIDataTransform* transform, QWidget* parent);

    ValueEntryLineEdit* getOctavesField() const { return _octavesField; }
    ValueEntryLineEdit* getSemitonesField() const { return _semitonesField; }

private slots:
    void _octavesTransposeEditingFinishedSLOT();
    void _semitonesTransposeEditingFinishedSLOT();

private:
    void _buildUI();
    void _makeConnections();
    void _setWidgetValuesFromData();
    void _showOctaves();
    void _showSemitones();
    /// Shows the "Value Error" box, then the transform's value again with the text selected.
    void _refuse(ValueEntryLineEdit* field, const QString& text);

    QPointer<MIDIDataTransform> _transform;
    QHBoxLayout* _layout = nullptr;
    QLabel* _transposeLabel = nullptr;
    ValueEntryLineEdit* _octavesField = nullptr;
    QLabel* _octavesLabel = nullptr;
    ValueEntryLineEdit* _semitonesField = nullptr;
    QLabel* _semitonesLabel = nullptr;
};
