// Pictures of the editors: the velocity map editor with a curve drawn by mouse, the transpose,
// velocity filter and note filter editors, and the Note On initializer editor.

#include "ScreenshotSupport.h"
#include "editors/BuiltInTransformEditors.h"
#include "editors/InitializerEditorDialog.h"
#include "editors/InitializerEditors.h"
#include "editors/LabeledValueMappingWidget.h"
#include "editors/MIDIDataTransformEditorDialog.h"
#include "editors/TransformDialogManager.h"
#include "editors/ValueMappingWidget.h"
#include "editors/VelocityMappingWidget.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "model/routing/MIDIOutput.h"
#include "model/routing/MIDIPatchTarget.h"
#include "model/routing/MIDIRoute.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/NoteFilter.h"
#include "support/RoutingTestRig.h"
#include "widgets/LookAndFeel.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QTimer>
#include <cmath>

namespace {

/// Draws a soft-touch curve with the left button, as a player would: quiet notes lifted, the top
/// left alone.
void drawCurve(ValueMappingWidget* graph)
{
    auto pointFor = [](int index, int value) { return QPoint(4 * index + 1, 256 - 2 - 2 * value); };
    auto curve = [](int i) { return int(127.0 * std::pow(i / 127.0, 0.55)); };
    QTest::mousePress(graph, Qt::LeftButton, Qt::NoModifier, pointFor(0, curve(0)));
    for (int i = 3; i <= 127; i += 3) {
        const QPoint p = pointFor(i, curve(i));
        QMouseEvent move(QEvent::MouseMove, QPointF(p), QPointF(graph->mapToGlobal(p)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(graph, &move);
    }
    QTest::mouseRelease(graph, Qt::LeftButton, Qt::NoModifier, pointFor(127, 127));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    styleTheApplication();
    RoutingTestRig::install();
    registerBuiltInTransformEditors();
    registerBuiltInInitializers();
    installInitializerEditors();

    QMainWindow mainWindow;
    mainWindow.resize(300, 200);
    mainWindow.move(900, 800);
    mainWindow.show();
    TransformDialogManager* manager = TransformDialogManager::GetInstance();
    manager->setMainWindow(&mainWindow);

    MIDIRoute route(QStringLiteral("Keys"), MIDIRoute::kAnyChannel, QStringLiteral("Keys"), nullptr);
    MIDIPatchTarget* patch = route.createNewMIDIOutput(false)->getMIDIPatchTargetAtIndex(0);
    patch->setMIDIOutputPortName(QStringLiteral("SynthA"));

    bool allSaved = true;
    auto shootEditor = [&](MIDIDataTransform* transform, const QString& name) {
        manager->editMIDIDataTransform(transform);
        MIDIDataTransformEditorDialog* dialog = manager->getEditorForTransform(transform);
        dialog->move(40, 40);
        allSaved &= ScreenshotSupport::saveScreenshot(dialog, name);
        return dialog;
    };

    MIDIDataTransform* velocityMap = patch->createNewMIDIDataTransform(QStringLiteral("Velocity Map"));
    manager->editMIDIDataTransform(velocityMap);
    auto* velocityEditor =
        qobject_cast<VelocityMappingWidget*>(manager->getEditorForTransform(velocityMap)->getEditorWidget());
    ValueMappingWidget* graph = velocityEditor->getLabeledValueMappingWidget()->getValueMappingWidget();
    drawCurve(graph);
    emit velocityMap->lastValueReceived(64); // the most recent note, highlighted
    QPoint hover(4 * 64 + 1, 60);
    QMouseEvent move(QEvent::MouseMove, QPointF(hover), QPointF(graph->mapToGlobal(hover)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(graph, &move);
    shootEditor(velocityMap, QStringLiteral("editor_velocity_map"));

    MIDIDataTransform* transpose = patch->createNewMIDIDataTransform(QStringLiteral("Transpose"));
    transpose->setInt2(1);
    transpose->setInt1(-2);
    shootEditor(transpose, QStringLiteral("editor_transpose"));

    MIDIDataTransform* velocityFilter = patch->createNewMIDIDataTransform(QStringLiteral("Velocity Filter"));
    shootEditor(velocityFilter, QStringLiteral("editor_velocity_filter"));

    auto* noteFilter =
        qobject_cast<NoteFilter*>(patch->createNewMIDIDataTransform(QStringLiteral("Note Filter")));
    noteFilter->filterOutNotesBelow(36);
    noteFilter->filterOutNotesAbove(96);
    noteFilter->filterOutNote(61);
    shootEditor(noteFilter, QStringLiteral("editor_note_filter"));
    emit noteFilter->noteOnReceived(60, 100);
    emit noteFilter->noteOnReceived(64, 80);

    MIDIDataTransform* ccMap = patch->createNewMIDIDataTransform(QStringLiteral("CC Map"));
    ccMap->setMappingToSineRampUp();
    shootEditor(ccMap, QStringLiteral("editor_cc_map"));
    manager->closeAllTransformEditors();

    MIDIPatchInitializer* noteOn = patch->createNewMIDIPatchInitializer(QStringLiteral("Note On"));
    QTimer::singleShot(200, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->move(40, 40);
            allSaved &=
                ScreenshotSupport::saveScreenshot(dialog, QStringLiteral("editor_note_on_initializer"));
            dialog->close();
        }
    });
    editMIDIPatchInitializer(noteOn, &mainWindow);

    MIDIPatchInitializer* bend = patch->createNewMIDIPatchInitializer(QStringLiteral("Pitch Bend"));
    QTimer::singleShot(200, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            dialog->move(40, 40);
            allSaved &=
                ScreenshotSupport::saveScreenshot(dialog, QStringLiteral("editor_pitch_bend_initializer"));
            dialog->close();
        }
    });
    editMIDIPatchInitializer(bend, &mainWindow);
    return allSaved ? 0 : 1;
}
