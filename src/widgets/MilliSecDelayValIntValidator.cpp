#include "widgets/MilliSecDelayValIntValidator.h"

MilliSecDelayValIntValidator* MilliSecDelayValIntValidator::_instance = nullptr;

MilliSecDelayValIntValidator* MilliSecDelayValIntValidator::GetInstance()
{
    if (!_instance)
        _instance = new MilliSecDelayValIntValidator();
    return _instance;
}

MilliSecDelayValIntValidator::MilliSecDelayValIntValidator() : QIntValidator(0, 500, nullptr) {}
