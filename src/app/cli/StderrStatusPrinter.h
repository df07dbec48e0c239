#pragma once

#include <QObject>
#include <QString>

/// Prints everything posted on the status channel to stderr, one line each, prefixed "error:",
/// "warning:" or "status:". Line breaks inside a message become spaces so each stays one line.
class StderrStatusPrinter : public QObject
{
    Q_OBJECT

public:
    explicit StderrStatusPrinter(QObject* parent = nullptr);

    int errorCount() const { return _errors; }
    int warningCount() const { return _warnings; }
    /// One line as printed, without the line break; exposed for tests.
    static QString formatLine(const QString& prefix, const QString& message);

private slots:
    void _errorSLOT(const QString& message);
    void _warningSLOT(const QString& message);
    void _statusSLOT(const QString& message);

private:
    int _errors = 0;
    int _warnings = 0;
};
