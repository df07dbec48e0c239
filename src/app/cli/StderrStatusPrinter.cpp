#include "app/cli/StderrStatusPrinter.h"

#include "app/StatusManager.h"

#include <cstdio>

StderrStatusPrinter::StderrStatusPrinter(QObject* parent) : QObject(parent)
{
    StatusManager* manager = StatusManager::GetInstance();
    connect(manager, &StatusManager::errorMessagePosted, this, &StderrStatusPrinter::_errorSLOT);
    connect(manager, &StatusManager::warningMessagePosted, this, &StderrStatusPrinter::_warningSLOT);
    connect(manager, qOverload<QString>(&StatusManager::statusMessagePosted), this,
            &StderrStatusPrinter::_statusSLOT);
}

QString StderrStatusPrinter::formatLine(const QString& prefix, const QString& message)
{
    QString text = message.simplified();
    return prefix + QStringLiteral(": ") + text;
}

void StderrStatusPrinter::_errorSLOT(const QString& message)
{
    ++_errors;
    std::fprintf(stderr, "%s\n", qPrintable(formatLine(QStringLiteral("error"), message)));
    std::fflush(stderr);
}

void StderrStatusPrinter::_warningSLOT(const QString& message)
{
    ++_warnings;
    std::fprintf(stderr, "%s\n", qPrintable(formatLine(QStringLiteral("warning"), message)));
    std::fflush(stderr);
}

void StderrStatusPrinter::_statusSLOT(const QString& message)
{
    std::fprintf(stderr, "%s\n", qPrintable(formatLine(QStringLiteral("status"), message)));
    std::fflush(stderr);
}
