#pragma once

#include <QDialog>
#include <QPointer>

class ActivityIndicator;
class DropShadowLabel;
class MIDIDataTransform;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

/// The floating editor of one transform: a header with the activity lamp, the type's icon, the
/// transform's name and a "Bypass" button, the type's editor widget, and a Close button
/// (Shift+click closes every transform editor). A tool window of the main window, so it floats
/// over the program and not over the user's other programs. It remembers its position in the
/// transform. Made and closed by TransformDialogManager. GUI thread only.
class MIDIDataTransformEditorDialog : public QDialog
{
    Q_OBJECT

public:
    MIDIDataTransformEditorDialog(MIDIDataTransform* transform, QWidget* parent);

    MIDIDataTransform* getMIDIDataTransform() const;
    QPushButton* getBypassButton() const { return _bypassButton; }
    QPushButton* getCloseButton() const;
    QWidget* getEditorWidget() const { return _editorWidget; }
    ActivityIndicator* getActivityIndicator() const { return _activityIndicator; }

    /// Stops remembering positions (the transform is going away).
    void forgetTransform();

public slots:
    /// Close button, close box and Escape: stores the position, asks to close all editors when
    /// exactly Shift is held, then announces dialogClosed.
    void reject() override;

signals:
    void dialogClosed(MIDIDataTransform* transformObj);
    void closeAllRequested();

protected:
    void moveEvent(QMoveEvent* event) override;

private slots:
    void _mdtBypassedChangedToSLOT(bool bypassed);

private:
    void _buildUI();
    void _makeConnections();
    void _storePosition();

    QPointer<MIDIDataTransform> _transform;
    QVBoxLayout* _layout = nullptr;
    QHBoxLayout* _headerLayout = nullptr;
    ActivityIndicator* _activityIndicator = nullptr;
    QLabel* _iconLabel = nullptr;
    DropShadowLabel* _nameLabel = nullptr;
    QPushButton* _bypassButton = nullptr;
    QWidget* _editorWidget = nullptr;
    QDialogButtonBox* _buttonBox = nullptr;
    bool _closing = false;
};
