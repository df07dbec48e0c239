#pragma once

#include <QIntValidator>

/// The range of a patch's message delay, 0 to 500 milliseconds; one instance shared by every
/// delay field. GUI thread only.
class MilliSecDelayValIntValidator : public QIntValidator
{
    Q_OBJECT

public:
    static MilliSecDelayValIntValidator* GetInstance();

private:
    MilliSecDelayValIntValidator();
    static MilliSecDelayValIntValidator* _instance;
};
