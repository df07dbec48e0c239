#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

/// Shows the errors and warnings of the status channel in message boxes without burying the user
/// under them: messages that arrive together (a burst from the MIDI thread, or everything a file
/// operation reports between hold() and release()) go into one box, the same sentence only once
/// with its count. An error makes it an error box ("Quorvell Error"), else a warning box
/// ("Quorvell Warning"). Texts are shown as plain text. GUI thread only.
class MessageBoxCollector : public QObject
{
    Q_OBJECT

public:
    explicit MessageBoxCollector(QWidget* window);

    void addError(const QString& message);
    void addWarning(const QString& message);

    /// Holds boxes back until the matching release(); nests.
    void hold();
    void release();
    bool isHolding() const { return _holdDepth > 0; }

    /// The box text for a list of messages: one paragraph per distinct message, "(N times)"
    /// after repeated ones, at most `maxShown` paragraphs then a line saying how many more.
    static QString boxText(const QList<QPair<QString, int>>& messages, int maxShown, QString* detailedText);

private slots:
    void _showPendingSLOT();

private:
    struct Pending
    {
        QString text;
        int count;
        bool error;
    };

    void _add(const QString& message, bool error);
    void _schedule();

    QPointer<QWidget> _window;
    QList<Pending> _pending;
    int _holdDepth = 0;
    bool _scheduled = false;
    bool _showing = false;
};
