#include "app/MIDIRoutingSetupOutputMergerDialog.h"

#include "app/StatusManager.h"
#include "model/edits/ModelEdits.h"
#include "model/routing/MIDIRoute.h"
#include "model/routing/MIDIRoutingSetup.h"
#include "model/routing/MIDIRoutingSetupOutputMerger.h"
#include "persistence/AppPrefs.h"
#include "persistence/PrefKeys.h"
#include "widgets/WidgetWidths.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

MIDIRoutingSetupOutputMergerDialog::MIDIRoutingSetupOutputMergerDialog(MIDIRoutingSetupOutputMerger* merger,
                                                                       QWidget* parent)
    : QDialog(parent), _merger(merger)
{
    setWindowTitle(QStringLiteral("Merge Outputs"));
    _buildUI();
    _initFromMerger();
    _makeConnections();
    _routeChoiceChangedSLOT();
}

void MIDIRoutingSetupOutputMergerDialog::_buildUI()
{
    auto* layout = new QVBoxLayout(this);
    auto* rows = new QGridLayout();
    _sourceComboBox = new QComboBox(this);
    _sourceComboBox->setToolTip(QStringLiteral("The input whose outputs give their patches."));
    _sourceComboBox->setWhatsThis(QStringLiteral("<b>Merge patches from.</b>  Choose the input whose "
                                                 "outputs' patches are copied. It is left unchanged."));
    _targetComboBox = new QComboBox(this);
    _targetComboBox->setToolTip(QStringLiteral("The input whose outputs receive the copied patches."));
    _targetComboBox->setWhatsThis(QStringLiteral("<b>Into outputs of.</b>  Choose the input whose matching "
                                                 "outputs receive copies of the patches."));
    _matchModeComboBox = new QComboBox(this);
    _matchModeComboBox->addItem(QStringLiteral("Output Name"));
    _matchModeComboBox->addItem(QStringLiteral("Activation Value/Range"));
    _matchModeComboBox->setToolTip(QStringLiteral("How source and target outputs are matched."));
    _matchModeComboBox->setWhatsThis(
        QStringLiteral("<b>According to.</b>  Outputs match when their names are "
                       "equal, or when their activation values (and ranges) are."));
    const QList<QPair<QString, QComboBox*>> labelled = {
        {QStringLiteral("Merge Patches From"), _sourceComboBox},
        {QStringLiteral("Into Outputs Of"), _targetComboBox},
        {QStringLiteral("According To"), _matchModeComboBox}};
    for (int row = 0; row < labelled.size(); ++row) {
        rows->addWidget(new QLabel(labelled.at(row).first, this), row, 0, Qt::AlignRight | Qt::AlignVCenter);
        rows->addWidget(labelled.at(row).second, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
    }
    layout->addLayout(rows);
    _buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(_buttonBox);
}

void MIDIRoutingSetupOutputMergerDialog::_initFromMerger()
{
    MIDIRoutingSetup* setup = _merger ? _merger->getMIDIRoutingSetup() : nullptr;
    if (setup) {
        for (int i = 0; i < setup->getNumMIDIRoutes(); ++i) {
            MIDIRoute* route = setup->getMIDIRouteAtIndex(i);
            _routes.append(route);
            _sourceComboBox->addItem(route->getName());
            _targetComboBox->addItem(route->getName());
        }
        _sourceComboBox->setCurrentIndex(_routes.isEmpty() ? -1 : 0);
        const int activeIndex = setup->getIndexOfMIDIRoute(setup->getActiveRoute());
        _targetComboBox->setCurrentIndex(activeIndex >= 0 ? activeIndex : (_routes.isEmpty() ? -1 : 0));
    }
    int matchMode = getIntPrefValue(PrefKeys::OutputMergeMatchMode, PrefKeys::OutputMergeMatchModeDefault);
    if (matchMode < 0 || matchMode >= _matchModeComboBox->count())
        matchMode = PrefKeys::OutputMergeMatchModeDefault;
    _matchModeComboBox->setCurrentIndex(matchMode);
    fixAllWidthsToWidestOf({_sourceComboBox, _targetComboBox, _matchModeComboBox});
}

void MIDIRoutingSetupOutputMergerDialog::_makeConnections()
{
    connect(_buttonBox, &QDialogButtonBox::accepted, this,
            &MIDIRoutingSetupOutputMergerDialog::_okClickedSLOT);
    connect(_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(_sourceComboBox, &QComboBox::currentIndexChanged, this,
            &MIDIRoutingSetupOutputMergerDialog::_routeChoiceChangedSLOT);
    connect(_targetComboBox, &QComboBox::currentIndexChanged, this,
            &MIDIRoutingSetupOutputMergerDialog::_routeChoiceChangedSLOT);
}

void MIDIRoutingSetupOutputMergerDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    setFixedSize(sizeHint());
}

MIDIRoute* MIDIRoutingSetupOutputMergerDialog::_routeAt(int index) const
{
    return index >= 0 && index < _routes.size() ? _routes.at(index).data() : nullptr;
}

void MIDIRoutingSetupOutputMergerDialog::_routeChoiceChangedSLOT()
{
    const int source = _sourceComboBox->currentIndex();
    const int target = _targetComboBox->currentIndex();
    const bool acceptable = source >= 0 && target >= 0 && source != target;
    QPushButton* ok = _buttonBox->button(QDialogButtonBox::Ok);
    ok->setEnabled(acceptable);
    ok->setToolTip(acceptable ? QString()
                              : QStringLiteral("Choose two different inputs: merging an input into "
                                               "itself would double every patch."));
}

void MIDIRoutingSetupOutputMergerDialog::_okClickedSLOT()
{
    MIDIRoute* source = _routeAt(_sourceComboBox->currentIndex());
    MIDIRoute* target = _routeAt(_targetComboBox->currentIndex());
    if (!_merger || !source || !target || source == target)
        return;
    _merger->setSourceRoute(source);
    _merger->setTargetRoute(target);
    _merger->setTargetAcceptanceFactor(_matchModeComboBox->currentIndex());
    setIntPrefValue(PrefKeys::OutputMergeMatchMode, _matchModeComboBox->currentIndex());

    // The patches each target output has now: what the merge adds comes after them.
    QList<QList<MIDIPatchTarget*>> before;
    for (int i = 0; i < target->getNumMIDIOutputs(); ++i) {
        MIDIOutput* output = target->getMIDIOutputAtIndex(i);
        QList<MIDIPatchTarget*> patches;
        for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p)
            patches.append(output->getMIDIPatchTargetAtIndex(p));
        before.append(patches);
    }
    QString errorText;
    const int count = _merger->doMerge(&errorText);
    // The merge as one undo step: each patch it added is put in (and taken out on undo) as such.
    auto* step = new QUndoCommand(QStringLiteral("Merge Outputs of ") + ModelEdits::describeObject(source) +
                                  QStringLiteral(" into ") + ModelEdits::describeObject(target));
    for (int i = 0; i < target->getNumMIDIOutputs() && i < before.size(); ++i) {
        MIDIOutput* output = target->getMIDIOutputAtIndex(i);
        for (int p = 0; p < output->getNumMIDIPatchTargets(); ++p) {
            MIDIPatchTarget* patch = output->getMIDIPatchTargetAtIndex(p);
            if (!before.at(i).contains(patch))
                PatchListCommand::insert(
                    QStringLiteral("Merge"), output, [patch] { return patch; }, step);
        }
    }
    if (step->childCount() > 0)
        EditStack::push(target, step);
    else
        delete step;
    if (!errorText.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Merge Error"), errorText, QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    if (count >= 1) {
        postStatusMessage(QString::number(count) +
                              (count == 1 ? QStringLiteral(" patch ") : QStringLiteral(" patches ")) +
                              QStringLiteral("merged into ") + target->getName() + QStringLiteral("."),
                          3000);
        accept();
        return;
    }
    QMessageBox::warning(this, QStringLiteral("Merge Warning"), QStringLiteral("No outputs merged."));
}
