#pragma once

#include <QPointer>
#include <QWidget>

class MIDIRoutingSetup;
class QLabel;
class QPlainTextEdit;

/// A plain, read-only view of the current setup: its inputs, outputs (with activation values),
/// patches, transforms and initializers as text. It accepts setup files dropped on it and keeps
/// the keyboard settings the window stores, so the window treats it like the full setup view.
/// GUI thread only.
class SetupContentsView : public QWidget
{
    Q_OBJECT

public:
    explicit SetupContentsView(QWidget* parent = nullptr);

    QSize sizeHint() const override;

    void setKeyboardVisible(bool visible);
    bool isKeyboardVisible() const { return _keyboardVisible; }
    void toggleKeyboardVisibility() { setKeyboardVisible(!_keyboardVisible); }
    void setKeyboardXScrollAmount(int amount) { _keyboardXScrollAmount = amount; }
    int getKeyboardXScrollAmount() const { return _keyboardXScrollAmount; }

    /// The text shown, for tests.
    QString shownText() const;

signals:
    void keyboardVisibilityChangedTo(bool visible);
    /// A setup file was dropped. Emitted from dropEvent; receivers open it from a queued call.
    void setupFileOpenRequested(const QString& filePath);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void _currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup);
    void _refreshSLOT();

private:
    void _buildUI();
    void _makeConnections();
    void _setWidgetValuesFromData();

    QPointer<MIDIRoutingSetup> _setup;
    QLabel* _titleLabel = nullptr;
    QPlainTextEdit* _text = nullptr;
    bool _keyboardVisible = true;
    int _keyboardXScrollAmount = 100;
    bool _refreshScheduled = false;
};
