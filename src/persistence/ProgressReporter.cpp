#include "persistence/ProgressReporter.h"

void ProgressReporter::setNumProgressSteps(int numSteps)
{
    if (numSteps == _numSteps)
        return;
    _numSteps = numSteps;
    emit numProgressStepsChangedTo(numSteps);
    emit progressUpdated(_currentStep, _numSteps);
}

void ProgressReporter::setCurrentProgressStep(int currentStep)
{
    if (currentStep == _currentStep)
        return;
    _currentStep = currentStep;
    emit currentProgressStepChangedTo(currentStep);
    emit progressUpdated(_currentStep, _numSteps);
}
