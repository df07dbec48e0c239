#include "app/MessageBoxCollector.h"

#include "app/LocalNormalCursor.h"

#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kMaxMessagesInBox = 8;

} // namespace

MessageBoxCollector::MessageBoxCollector(QWidget* window) : QObject(window), _window(window) {}

void MessageBoxCollector::addError(const QString& message)
{
    _add(message, true);
}

void MessageBoxCollector::addWarning(const QString& message)
{
    _add(message, false);
}

void MessageBoxCollector::_add(const QString& message, bool error)
{
    for (Pending& pending : _pending) {
        if (pending.text == message && pending.error == error) {
            ++pending.count;
            _schedule();
            return;
        }
    }
    _pending.append(Pending{message, 1, error});
    _schedule();
}

void MessageBoxCollector::hold()
{
    ++_holdDepth;
}

void MessageBoxCollector::release()
{
    if (_holdDepth > 0)
        --_holdDepth;
    _schedule();
}

void MessageBoxCollector::_schedule()
{
    if (_holdDepth > 0 || _scheduled || _showing || _pending.isEmpty())
        return;
    _scheduled = true;
    QTimer::singleShot(0, this, &MessageBoxCollector::_showPendingSLOT);
}

void MessageBoxCollector::_showPendingSLOT()
{
    _scheduled = false;
    if (_holdDepth > 0 || _showing)
        return;
    // Whatever arrives while a box is up goes into the next box, shown when this one closes.
    while (!_pending.isEmpty()) {
        const QList<Pending> batch = std::exchange(_pending, {});
        bool anyError = false;
        QList<QPair<QString, int>> messages;
        // Errors first: they are what the user must act on.
        for (bool errors : {true, false}) {
            for (const Pending& pending : batch) {
                if (pending.error == errors)
                    messages.append({pending.text, pending.count});
                anyError = anyError || pending.error;
            }
        }
        QString details;
        const QString text = boxText(messages, kMaxMessagesInBox, &details);

        _showing = true;
        {
            LocalNormalCursor cursor;
            QMessageBox box(anyError ? QMessageBox::Critical : QMessageBox::Warning,
                            anyError ? QStringLiteral("Quorvell Error") : QStringLiteral("Quorvell Warning"),
                            text, QMessageBox::Ok, _window);
            box.setTextFormat(Qt::PlainText);
            if (!details.isEmpty())
                box.setDetailedText(details);
            box.exec();
        }
        _showing = false;
        if (_holdDepth > 0)
            break;
    }
}

QString MessageBoxCollector::boxText(const QList<QPair<QString, int>>& messages, int maxShown,
                                     QString* detailedText)
{
    auto paragraph = [](const QPair<QString, int>& message) {
        return message.second > 1 ? QStringLiteral("%1 (%2 times)").arg(message.first).arg(message.second)
                                  : message.first;
    };
    QStringList shown;
    QStringList all;
    for (const auto& message : messages) {
        all << paragraph(message);
        if (shown.size() < maxShown)
            shown << paragraph(message);
    }
    if (detailedText)
        detailedText->clear();
    if (all.size() > shown.size()) {
        shown << QStringLiteral("... and %1 more (see the details).").arg(all.size() - shown.size());
        if (detailedText)
            *detailedText = all.join(QLatin1Char('\n'));
    }
    return shown.join(QStringLiteral("\n\n"));
}
