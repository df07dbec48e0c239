#pragma once

#include <QObject>

/// Counts the steps of a long operation (reading or writing a setup) for a progress display.
class ProgressReporter : public QObject
{
    Q_OBJECT

public:
    explicit ProgressReporter(QObject* parent = nullptr) : QObject(parent) {}

    int getNumProgressSteps() const { return _numSteps; }
    int getCurrentProgressStep() const { return _currentStep; }
    void setNumProgressSteps(int numSteps);
    void setCurrentProgressStep(int currentStep);

signals:
    void numProgressStepsChangedTo(int numSteps);
    void currentProgressStepChangedTo(int currStep);
    void progressUpdated(int currStep, int numSteps);

private:
    int _numSteps = 0;
    int _currentStep = 0;
};
