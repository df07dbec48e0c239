// Undo and redo of model edits: a long seeded run of every kind of edit must undo back to the
// very document it started from and redo to the very document it reached.
#include "model/edits/ModelEdits.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/transforms/MIDIDataTransform.h"
#include "support/FullSetupBuilder.h"
#include "support/RoutingTestRig.h"
#include "support/TestPrefs.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QUndoStack>
#include <memory>

namespace {

QString xmlOf(MIDIRoutingSetup* setup)
{
    QDomDocument doc;
    doc.appendChild(setup->toDomElement(doc));
    return doc.toString();
}

// Which output and input are active is playing, not editing: undo leaves it alone, so the
// comparison leaves it out.
QString editedXmlOf(MIDIRoutingSetup* setup)
{
    QString xml = xmlOf(setup);
    xml.remove(QRegularExpression(QStringLiteral(" (isActive|activeRouteName)=\"[^\"]*\"")));
    return xml;
}

QList<MIDIRoute*> routesOf(MIDIRoutingSetup* setup)
{
    QList<MIDIRoute*> all;
    for (int i = 0; i < setup->getNumMIDIRoutes(); ++i)
        all.append(setup->getMIDIRouteAtIndex(i));
    return all;
}

QList<MIDIOutput*> outputsOf(MIDIRoutingSetup* setup)
{
    QList<MIDIOutput*> all;
    for (MIDIRoute* route : routesOf(setup))
        for (int i = 0; i < route->getNumMIDIOutputs(); ++i)
            all.append(route->getMIDIOutputAtIndex(i));
    return all;
}

QList<MIDIPatchTarget*> patchesOf(MIDIRoutingSetup* setup)
{
    QList<MIDIPatchTarget*> all;
    for (MIDIOutput* output : outputsOf(setup))
        for (int i = 0; i < output->getNumMIDIPatchTargets(); ++i)
            all.append(output->getMIDIPatchTargetAtIndex(i));
    return all;
}

QList<MIDIDataTransform*> transformsOf(MIDIRoutingSetup* setup)
{
    QList<MIDIDataTransform*> all;
    for (MIDIPatchTarget* patch : patchesOf(setup))
        for (int i = 0; i < patch->getNumMIDIDataTransforms(); ++i)
            all.append(patch->getMIDIDataTransformAtIndex(i));
    return all;
}

QList<MIDIPatchInitializer*> initializersOf(MIDIRoutingSetup* setup)
{
    QList<MIDIPatchInitializer*> all;
    for (MIDIPatchTarget* patch : patchesOf(setup))
        for (int i = 0; i < patch->getNumMIDIPatchInitializers(); ++i)
            all.append(patch->getMIDIPatchInitializerAtIndex(i));
    return all;
}

/// Makes one random edit through the commands; false when the chosen kind had nothing to act on.
class RandomEditor
{
public:
    RandomEditor(MIDIRoutingSetup* setup, quint32 seed) : _setup(setup), _random(seed) {}

    bool editOnce()
    {
        const int kind = int(_random.bounded(31));
        switch (kind) {
        case 0:
            return _add<MIDIRoute>(_setup, [s = _setup] { return s->createNewMIDIRoute(false); });
        case 1:
            return _withOne(routesOf(_setup), [this](MIDIRoute* r) {
                return ModelEdits::remove(r, _random.bounded(3) == 0) > 0;
            });
        case 2:
            return _withOne(routesOf(_setup), [this](MIDIRoute* r) { return _moveIt(r); });
        case 3:
            return _withOne(routesOf(_setup), [this](MIDIRoute* r) {
                return ModelEdits::insert<MIDIRoute>(QStringLiteral("Duplicate"), _setup,
                                                     [s = _setup, r] { return s->duplicateMIDIRoute(r); });
            });
        case 4:
            return _withOne(routesOf(_setup), [](MIDIRoute* r) {
                return ModelEdits::insert<MIDIOutput>(QStringLiteral("Add"), r,
                                                      [r] { return r->createNewMIDIOutput(false); });
            });
        case 5:
            return _withOne(outputsOf(_setup), [this](MIDIOutput* o) {
                return ModelEdits::remove(o, _random.bounded(3) == 0) > 0;
            });
        case 6:
            return _withOne(outputsOf(_setup), [this](MIDIOutput* o) { return _moveIt(o); });
        case 7:
            return _withOne(outputsOf(_setup), [](MIDIOutput* o) {
                MIDIRoute* r = o->getParentMIDIRoute();
                return ModelEdits::insert<MIDIOutput>(QStringLiteral("Duplicate"), r,
                                                      [r, o] { return r->duplicateMIDIOutput(o); });
            });
        case 8:
            return _withOne(outputsOf(_setup), [](MIDIOutput* o) {
                return ModelEdits::insert<MIDIPatchTarget>(
                    QStringLiteral("Add"), o, [o] { return o->createNewMIDIPatchTarget(false, QString()); });
            });
        case 9:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                return ModelEdits::remove(p, _random.bounded(3) == 0) > 0;
            });
        case 10:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) { return _moveIt(p); });
        case 11:
            return _withOne(patchesOf(_setup), [](MIDIPatchTarget* p) {
                MIDIOutput* o = p->getParentMIDIOutput();
                return ModelEdits::insert<MIDIPatchTarget>(QStringLiteral("Duplicate"), o,
                                                           [o, p] { return o->duplicateMIDIPatchTarget(p); });
            });
        case 12: // paste: a patch built from another one's XML, as the clipboard does
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                MIDIOutput* target = _pick(outputsOf(_setup));
                QDomDocument doc;
                QDomElement element = p->toDomElement(doc);
                return ModelEdits::insert<MIDIPatchTarget>(
                    QStringLiteral("Paste"), target, [target, element] {
                        QDomElement copy = element;
                        auto* pasted = new MIDIPatchTarget(copy, target);
                        target->addMIDIPatchTarget(pasted);
                        return pasted;
                    });
            });
        case 13:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                const QString type = _pick(allTransformTypeNames());
                return ModelEdits::insert<MIDIDataTransform>(
                    QStringLiteral("Add"), p, [p, type] { return p->createNewMIDIDataTransform(type); });
            });
        case 14:
            return _withOne(transformsOf(_setup), [this](MIDIDataTransform* t) {
                if (_random.bounded(4) == 0) {
                    ModelEdits::removeAll<MIDIDataTransform>(qobject_cast<MIDIPatchTarget*>(t->parent()));
                    return true;
                }
                return ModelEdits::remove(t, _random.bounded(3) == 0) > 0;
            });
        case 15:
            return _withOne(transformsOf(_setup), [this](MIDIDataTransform* t) { return _moveIt(t); });
        case 16:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                const QString type = _pick(allInitializerTypeNames());
                return ModelEdits::insert<MIDIPatchInitializer>(
                    QStringLiteral("Add"), p, [p, type] { return p->createNewMIDIPatchInitializer(type); });
            });
        case 17:
            return _withOne(initializersOf(_setup), [this](MIDIPatchInitializer* i) {
                return ModelEdits::remove(i, _random.bounded(3) == 0) > 0;
            });
        case 18:
            return _withOne(initializersOf(_setup), [this](MIDIPatchInitializer* i) { return _moveIt(i); });
        case 19:
            return _withOne(routesOf(_setup), [this](MIDIRoute* r) {
                const QString port = _random.bounded(2) ? QStringLiteral("Keys") : QStringLiteral("Pads");
                const BYTE channel = BYTE(_random.bounded(16));
                const int method = int(_random.bounded(6));
                const int specificity = int(_random.bounded(2));
                return _set(r, SettingsEditCommand::kNoMerge, [=] {
                    r->setMIDIInputPortName(port);
                    r->setMIDIChannel(channel);
                    r->setOutputActivationMethod(method);
                    r->setOutputActivationSpecificity(specificity);
                });
            });
        case 20:
            return _withOne(outputsOf(_setup), [this](MIDIOutput* o) {
                const BYTE main = BYTE(_random.bounded(128));
                const BYTE range = BYTE(_random.bounded(128));
                return _set(o, SettingsEditCommand::kActivationValue, [=] {
                    o->setMainActivationValue(main);
                    o->setActivationRangeValue(range);
                });
            });
        case 21:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                const QString port = _pick(QStringList{QStringLiteral("SynthA"), QStringLiteral("SynthB"),
                                                       QStringLiteral("SynthC")});
                const BYTE channel = _random.bounded(5) ? BYTE(_random.bounded(16)) : kAnyMIDIChannel;
                return _set(p, SettingsEditCommand::kPort, [=] {
                    p->setMIDIOutputPortName(port);
                    p->setMIDIChannel(channel);
                });
            });
        case 22:
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                const int delay = int(_random.bounded(MIDIPatchTarget::kMaxMessageDelay + 1));
                const bool random = _random.bounded(2);
                const bool mute = _random.bounded(2);
                return _set(p, SettingsEditCommand::kDelay, [=] {
                    p->setMessageDelayInMillisecs(delay);
                    p->setMessageDelayType(random ? MIDIPatchTarget::kRandomDelay
                                                  : MIDIPatchTarget::kConstantDelay);
                    p->setMuted(mute);
                });
            });
        case 23: { // names and colour labels, on any kind of object
            QList<BaseMIDIObject*> all;
            for (auto* o : routesOf(_setup))
                all.append(o);
            for (auto* o : outputsOf(_setup))
                all.append(o);
            for (auto* o : patchesOf(_setup))
                all.append(o);
            if (all.isEmpty())
                return false;
            BaseMIDIObject* object = _pick(all);
            const QString name = QStringLiteral("Näme %1").arg(_random.bounded(1000));
            const int label = int(_random.bounded(9)) - 1;
            return _set(object, SettingsEditCommand::kName, [=] {
                object->setName(name);
                if (auto* labeled = qobject_cast<ColorLabeledMIDIObject*>(object))
                    label < 0 ? labeled->clearColorLabel() : labeled->setColorLabel(label);
            });
        }
        case 24:
            return _withOne(transformsOf(_setup), [this](MIDIDataTransform* t) {
                const BYTE b1 = BYTE(_random.bounded(128)), b2 = BYTE(_random.bounded(128)),
                           b3 = BYTE(_random.bounded(128));
                const int i1 = int(_random.bounded(25)) - 12, i2 = int(_random.bounded(5)) - 2;
                const bool bypass = _random.bounded(2);
                return _set(t, SettingsEditCommand::kByte1, [=] {
                    t->setByte1(b1);
                    t->setByte2(b2);
                    t->setByte3(b3);
                    t->setInt1(i1);
                    t->setInt2(i2);
                    t->setBypassed(bypass);
                });
            });
        case 25: // a freehand stroke: several entries, merged into one step
            return _withOne(transformsOf(_setup), [this](MIDIDataTransform* t) {
                const int start = int(_random.bounded(100));
                for (int i = 0; i < 5; ++i) {
                    const BYTE index = BYTE(start + i), value = BYTE(_random.bounded(128));
                    _set(t, SettingsEditCommand::kValueMap, [=] { t->setMapValueAt(index, value); });
                }
                return true;
            });
        case 26:
            return _withOne(transformsOf(_setup), [this](MIDIDataTransform* t) {
                const int op = int(_random.bounded(4));
                return _set(t, SettingsEditCommand::kNoMerge, [=] {
                    op == 0   ? t->reverseMapping()
                    : op == 1 ? t->invertMapping()
                    : op == 2 ? t->setMappingToSineRampUp()
                              : t->setAllMappingValuesToMax();
                });
            });
        case 27:
            return _withOne(initializersOf(_setup), [this](MIDIPatchInitializer* i) {
                const BYTE b1 = BYTE(_random.bounded(128)), b2 = BYTE(_random.bounded(128));
                const int i1 = int(_random.bounded(16384));
                return _set(i, SettingsEditCommand::kInitializerValue, [=] {
                    i->setByte1(b1);
                    i->setByte2(b2);
                    i->setInt1(i1);
                });
            });
        case 28: // the reroute dialog: one step over the whole setup
            return _set(_setup, SettingsEditCommand::kNoMerge, [s = _setup, this] {
                const QString to = _pick(QStringList{QStringLiteral("SynthA"), QStringLiteral("SynthB"),
                                                     QStringLiteral("SynthC")});
                s->rerouteOutputPort(QStringLiteral("SynthA"), -1, to, int(_random.bounded(16)));
            });
        case 29: // an input's filters for stray messages
            return _withOne(routesOf(_setup), [this](MIDIRoute* r) {
                const bool drops = _random.bounded(2) == 0;
                return _set(r, SettingsEditCommand::kNoMerge, [=] {
                    if (_random.bounded(2) == 0)
                        r->setDropsStrayProgramChanges(drops);
                    else
                        r->setDropsClockAndActiveSensing(drops);
                });
            });
        default: // colour labels from here on, bypass from here on, mute all but one
            return _withOne(patchesOf(_setup), [this](MIDIPatchTarget* p) {
                MIDIOutput* o = p->getParentMIDIOutput();
                const int label = int(_random.bounded(8));
                return _set(o->getParentMIDIRoute(), SettingsEditCommand::kNoMerge, [=] {
                    o->setColorLabelsForPatches(label, p);
                    o->muteAllPatchesExcept(p);
                    p->setBypassStateForTransforms(true, nullptr);
                });
            });
        }
    }

private:
    template <typename T> T _pick(const QList<T>& list)
    {
        return list.at(int(_random.bounded(quint32(list.size()))));
    }
    template <typename T, typename F> bool _withOne(const QList<T*>& list, F f)
    {
        return !list.isEmpty() && f(_pick(list));
    }
    template <typename Child, typename Owner, typename Create> bool _add(Owner* owner, Create create)
    {
        return ModelEdits::insert<Child>(QStringLiteral("Add"), owner, std::function<Child*()>(create));
    }
    template <typename Child> bool _moveIt(Child* child)
    {
        auto* owner = ChildListTraits<Child>::ownerOf(child);
        const int size = ChildListTraits<Child>::size(owner);
        if (size < 2)
            return false;
        ModelEdits::move(child, int(_random.bounded(quint32(size))));
        return true;
    }
    bool _set(BaseMIDIObject* scope, int field, std::function<void()> edit)
    {
        ModelEdits::changeSettings(QStringLiteral("Edit"), scope, std::move(edit), field);
        return true;
    }

    MIDIRoutingSetup* _setup;
    QRandomGenerator _random;
};

} // namespace

class UndoEditsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        RoutingTestRig::install();
    }

    void everyEditUndoesToTheOriginalAndRedoesToTheEnd_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 25") << 25u;
        QTest::newRow("seed 4711") << 4711u;
    }

    void everyEditUndoesToTheOriginalAndRedoesToTheEnd()
    {
        QFETCH(quint32, seed);
        std::unique_ptr<MIDIRoutingSetup> setup(buildSetupUsingEverything());
        QUndoStack stack;
        EditStack::attach(setup.get(), &stack);
        const QString original = editedXmlOf(setup.get());

        RandomEditor editor(setup.get(), seed);
        int edits = 0;
        for (int tries = 0; edits < 300 && tries < 3000; ++tries)
            edits += editor.editOnce() ? 1 : 0;
        QCOMPARE(edits, 300);
        QVERIFY(stack.count() > 100);
        const QString final = editedXmlOf(setup.get());
        QVERIFY(final != original);

        while (stack.canUndo())
            stack.undo();
        QCOMPARE(editedXmlOf(setup.get()), original);
        while (stack.canRedo())
            stack.redo();
        QCOMPARE(editedXmlOf(setup.get()), final);
        stack.clear();
    }

    void removedPatchComesBackAsTheSameObjectInItsPlace()
    {
        std::unique_ptr<MIDIRoutingSetup> setup(buildSetupUsingEverything());
        QUndoStack stack;
        EditStack::attach(setup.get(), &stack);
        MIDIOutput* output = nullptr;
        for (MIDIOutput* one : outputsOf(setup.get()))
            if (one->getNumMIDIPatchTargets() >= 2 &&
                one->getMIDIPatchTargetAtIndex(0)->hasAnyMIDIDataTransforms())
                output = one;
        QVERIFY(output);
        MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(0);
        patch->setName(QStringLiteral("Strings"));
        const int transforms = patch->getNumMIDIDataTransforms();

        QCOMPARE(ModelEdits::remove(patch, false), 1);
        QVERIFY(!output->hasMIDIPatchTarget(patch));
        QCOMPARE(stack.undoText(), QStringLiteral("Remove Patch \"Strings\""));
        QPointer<MIDIPatchTarget> kept(patch);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(kept); // held by the command, not deleted

        stack.undo();
        QCOMPARE(output->getIndexOfMIDIPatchTarget(patch), 0);
        QCOMPARE(patch->getNumMIDIDataTransforms(), transforms);
        stack.redo();
        QVERIFY(!output->hasMIDIPatchTarget(patch));
        // A new edit drops the redo history: the patch removed for good goes with it.
        ModelEdits::changeSettings(QStringLiteral("Rename"), output, [output] { output->setName("X"); });
        stack.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!kept);
    }

    void theLastPatchAndAnUnchangedValueAreNoSteps()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        QUndoStack stack;
        EditStack::attach(&setup, &stack);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        MIDIPatchTarget* only = route->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        QCOMPARE(ModelEdits::remove(only, true), 0);
        QCOMPARE(ModelEdits::remove(route->getMIDIOutputAtIndex(0), false), 0);
        ModelEdits::changeSettings(QStringLiteral("Set Channel"), only,
                                   [only] { only->setMIDIChannel(only->getMIDIChannel()); });
        QCOMPARE(stack.count(), 0);
    }

    void aSliderDragIsOneStep()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        QUndoStack stack;
        EditStack::attach(&setup, &stack);
        MIDIOutput* output = setup.createNewMIDIRoute(false)->getMIDIOutputAtIndex(0);
        const BYTE before = output->getMainActivationValue();
        for (int v = 10; v < 20; ++v)
            ModelEdits::changeSettings(
                QStringLiteral("Set Value"), output, [output, v] { output->setMainActivationValue(BYTE(v)); },
                SettingsEditCommand::kActivationValue);
        QCOMPARE(stack.count(), 1);
        stack.undo();
        QCOMPARE(output->getMainActivationValue(), before);
        stack.redo();
        QCOMPARE(output->getMainActivationValue(), BYTE(19));
        // Another field is a step of its own.
        ModelEdits::changeSettings(
            QStringLiteral("Rename"), output, [output] { output->setName("Y"); }, SettingsEditCommand::kName);
        QCOMPARE(stack.count(), 2);
    }

    void undoingTheRemovalOfTheActiveOutputLeavesActivationAlone()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        QUndoStack stack;
        EditStack::attach(&setup, &stack);
        MIDIRoute* route = setup.createNewMIDIRoute(false);
        MIDIOutput* second = route->createNewMIDIOutput(false);
        QVERIFY(second->isActive());
        QCOMPARE(ModelEdits::remove(second, false), 1);
        QVERIFY(route->getMIDIOutputAtIndex(0)->isActive());
        stack.undo();
        QCOMPARE(route->getIndexOfMIDIOutput(second), 1);
        QVERIFY(!second->isActive());
        QVERIFY(route->getMIDIOutputAtIndex(0)->isActive());
    }

    void aRemovedInputIsSilentWhileKept()
    {
        MIDIRoutingSetup setup(QStringLiteral("S"), nullptr);
        QUndoStack stack;
        EditStack::attach(&setup, &stack);
        setup.createNewMIDIRoute(false);
        MIDIRoute* second = setup.createNewMIDIRoute(false);
        second->setMIDIChannel(kAnyMIDIChannel);
        MIDIPatchTarget* patch = second->getMIDIOutputAtIndex(0)->getMIDIPatchTargetAtIndex(0);
        patch->setMIDIOutputPortName(QStringLiteral("SynthB"));
        RoutingTestRig::clearSent();
        QCOMPARE(ModelEdits::remove(second, false), 1);
        RoutingTestRig::play(second->getMIDIInputPortName(), midiMessage_t{0x90, 0x3C, 0x64});
        QVERIFY(RoutingTestRig::takeSent(QStringLiteral("SynthB")).isEmpty());
        stack.undo();
        QVERIFY(!patch->isMuted());
        RoutingTestRig::play(second->getMIDIInputPortName(), midiMessage_t{0x90, 0x3C, 0x64});
        RoutingTestRig::play(second->getMIDIInputPortName(), midiMessage_t{0x80, 0x3C, 0x40});
        QCOMPARE(RoutingTestRig::takeSent(QStringLiteral("SynthB")).size(), 2);
    }
};

QTEST_GUILESS_MAIN(UndoEditsTest)
#include "tst_UndoEdits.moc"
