#include "model/PumpedSignalSource.h"

#include "model/ModelSignalPump.h"

PumpedSignalSource::PumpedSignalSource()
{
    ModelSignalPump::GetInstance()->_addSource(this);
}

PumpedSignalSource::~PumpedSignalSource()
{
    ModelSignalPump::GetInstance()->_removeSource(this);
}

void PumpedSignalSource::noteConnection(const QMetaMethod& signal, std::initializer_list<QMetaMethod> pumped)
{
    for (const QMetaMethod& method : pumped) {
        if (method == signal) {
            ModelSignalPump::GetInstance()->listenerConnected();
            return;
        }
    }
}
