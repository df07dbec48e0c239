#pragma once

#include <QMainWindow>

class QPlainTextEdit;
class MIDIRoutingSetup;

/// A plain window that shows what the current setup holds and what the status channel posts
/// (errors and warnings in message boxes, status texts in the status bar), until the full editor
/// window takes its place. GUI thread only.
class PlaceholderWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit PlaceholderWindow(QWidget* parent = nullptr);

private slots:
    void _currentSetupSwitchedToSLOT(MIDIRoutingSetup* setup);
    void _refreshSLOT();
    void _showErrorSLOT(const QString& message);
    void _showWarningSLOT(const QString& message);

private:
    void _buildUI();
    void _makeConnections();

    QPlainTextEdit* _setupText = nullptr;
};
