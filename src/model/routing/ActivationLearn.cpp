#include "model/routing/ActivationLearn.h"

#include "app/StatusManager.h"
#include "model/RoutingMutex.h"
#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupManager.h"

#include <algorithm>
#include <mutex>

namespace {
constexpr int kStatusTimeOutMs = 5000;
} // namespace

ActivationLearn::ActivationLearn(MIDIRoute* route, RoutingMutex& routingMutex)
    : QObject(nullptr), _route(route), _routingMutex(routingMutex)
{
    // Whatever changes what the input listens to or how it switches makes the learn meaningless.
    connect(route, &MIDIRoute::midiPortNameChangedTo, this,
            [this] { cutShort(QStringLiteral("the input's port changed")); });
    connect(route, &MIDIRoute::midiChannelChangedTo, this,
            [this] { cutShort(QStringLiteral("the input's channel changed")); });
    connect(route, &MIDIRoute::outputActivationMethodChangedTo, this,
            [this] { cutShort(QStringLiteral("the input's activation method changed")); });
    connect(route, &MIDIRoute::outputActivationSpecificityChangedTo, this,
            [this] { cutShort(QStringLiteral("the input's activation specificity changed")); });
    connect(route, &MIDIRoute::midiOutputRemoved, this, [this](MIDIOutput* output) {
        if (output == _output)
            cutShort(QStringLiteral("the output was removed"));
    });
}

ActivationLearn::~ActivationLearn()
{
    _stop();
}

void ActivationLearn::setTimesForTesting(int timeoutMs, int stillMs, int keysStillMs)
{
    _timeoutMs = timeoutMs;
    _stillMs = stillMs;
    _keysStillMs = keysStillMs < 0 ? stillMs : keysStillMs;
}

bool ActivationLearn::start(MIDIOutput* output)
{
    if (!output || !_route->hasMIDIOutput(output))
        return false;
    if (_output == output)
        return true;
    if (_output)
        cancel();
    _output = output;
    _sinceStart.start();
    _sinceLastValue.start();
    _seenValues = 0;
    _pumpHold = std::make_unique<ModelSignalPump::Hold>();
    _learnConnections << connect(output, &QObject::destroyed, this,
                                 [this] { cutShort(QStringLiteral("the output was removed")); });
    if (MIDIRoutingSetup* setup = _route->getParentRoutingSetup()) {
        _learnConnections << connect(setup, &MIDIRoutingSetup::midiRouteRemoved, this, [this](MIDIRoute* r) {
            if (r == _route)
                cutShort(QStringLiteral("the input was removed"));
        });
    }
    auto* manager = MIDIRoutingSetupManager::GetInstance();
    auto setupGone = [this] {
        if (getCurrentRoutingSetup() != _route->getParentRoutingSetup())
            cutShort(QStringLiteral("the setup was closed"));
    };
    _learnConnections << connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupSwitchedTo, this,
                                 setupGone);
    _learnConnections << connect(manager, &MIDIRoutingSetupManager::currentRoutingSetupCleared, this,
                                 setupGone);
    _sweepStillMs = _route->isActivationMethodController() ? _stillMs : _keysStillMs;
    _sweep.store(_route->isOutputActivationValueRange());
    _firstValue.store(0);
    _lastValue.store(0);
    _numValues.store(0);
    _setPhaseLocked(kListening);
    emit learnStarted(output);
    return true;
}

void ActivationLearn::_setPhaseLocked(int phase)
{
    // Under the routing lock: a message being routed now is handled wholly before or after.
    std::lock_guard<RoutingMutex> lock(_routingMutex);
    _phase.store(phase, std::memory_order_release);
}

bool ActivationLearn::consume(BYTE value)
{
    // Routing lock held: only one thread at a time gets here.
    switch (_phase.load(std::memory_order_acquire)) {
    case kListening:
        _firstValue.store(value, std::memory_order_relaxed);
        _lastValue.store(value, std::memory_order_relaxed);
        _numValues.fetch_add(1, std::memory_order_relaxed);
        _phase.store(_sweep.load(std::memory_order_relaxed) ? kSweeping : kCaptured,
                     std::memory_order_release);
        return true;
    case kSweeping:
        _lastValue.store(value, std::memory_order_relaxed);
        _numValues.fetch_add(1, std::memory_order_release);
        return true;
    case kCaptured:
        // The value is taken; until the GUI thread ends the learn, more of the same is not heard.
        return true;
    default:
        return false;
    }
}

void ActivationLearn::poll()
{
    if (_phase.load(std::memory_order_acquire) == kIdle)
        return;
    if (!_output) {
        cutShort(QStringLiteral("the output was removed"));
        return;
    }
    const int phase = _phase.load(std::memory_order_acquire);
    if (phase == kCaptured) {
        _finish();
        return;
    }
    if (phase == kSweeping) {
        const std::uint32_t seen = _numValues.load(std::memory_order_acquire);
        if (seen != _seenValues) {
            _seenValues = seen;
            _sinceLastValue.restart();
        } else if (_sinceLastValue.elapsed() >= _sweepStillMs) {
            _finish();
            return;
        }
    }
    if (_sinceStart.elapsed() >= _timeoutMs) {
        if (phase == kSweeping)
            _finish();
        else
            _cancelWith(QStringLiteral("Learn cancelled: nothing arrived within %1 seconds; %2 is unchanged.")
                            .arg(_timeoutMs / 1000)
                            .arg(_outputText(_output)));
    }
}

MIDIOutput* ActivationLearn::_stop()
{
    if (_phase.load() != kIdle)
        _setPhaseLocked(kIdle);
    for (const QMetaObject::Connection& connection : std::as_const(_learnConnections))
        disconnect(connection);
    _learnConnections.clear();
    _pumpHold.reset();
    MIDIOutput* output = _output.data();
    _output.clear();
    return output;
}

void ActivationLearn::_finish()
{
    int first = 0;
    int last = 0;
    {
        std::lock_guard<RoutingMutex> lock(_routingMutex);
        _phase.store(kIdle, std::memory_order_release);
        first = _firstValue.load();
        last = _lastValue.load();
    }
    const bool range = _sweep.load();
    MIDIOutput* output = _stop();
    if (!output)
        return;
    const BYTE low = BYTE(std::min(first, last));
    const BYTE high = BYTE(std::max(first, last));
    QPointer<MIDIOutput> target(output);
    ModelEdits::changeSettings(
        QStringLiteral("Learn Activation Value of %1").arg(ModelEdits::describeObject(output)), output,
        [target, range, first, low, high] {
            if (!target)
                return;
            if (!range) {
                target->setMainActivationValue(BYTE(first));
                return;
            }
            target->setMainActivationValue(low);
            target->setActivationRangeValue(high);
        });
    // The input's own description, "name: value" (or "name: low to high"), without the name.
    const QString value = _route->getTextualDescriptionOfOutput(output).mid(output->getName().size() + 2);
    postStatusMessage(QStringLiteral("Learnt %1: %2.").arg(_outputText(output), value), kStatusTimeOutMs);
    emit learnt(output);
}

void ActivationLearn::cancel()
{
    if (!_output)
        return;
    _cancelWith(QStringLiteral("Learn cancelled; %1 is unchanged.").arg(_outputText(_output)));
}

void ActivationLearn::cutShort(const QString& reason)
{
    if (_phase.load() == kIdle && !_output)
        return;
    _cancelWith(QStringLiteral("Learn cancelled: %1; %2 is unchanged.").arg(reason, _outputText(_output)));
}

void ActivationLearn::_cancelWith(const QString& message)
{
    MIDIOutput* output = _stop();
    postStatusMessage(message, kStatusTimeOutMs);
    emit learnCancelled(output, message);
}

QString ActivationLearn::_outputText(MIDIOutput* output) const
{
    if (!output)
        return QStringLiteral("the activation value");
    return QStringLiteral("the activation value of \"%1\"").arg(output->getName());
}
