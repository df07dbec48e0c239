#include "editors/InitializerEditorDialog.h"

#include "editors/EditorFonts.h"
#include "editors/InitializerEditors.h"
#include "editors/ModelObjectWatch.h"
#include "editors/TransformDialogManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "widgets/DropShadowLabel.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDialog* buildInitializerDialog(MIDIPatchInitializer* initializer, QWidget* owner)
{
    auto* dialog = new QDialog(owner);
    dialog->setObjectName(QStringLiteral("InitializerEditorDialog"));
    auto* layout = new QVBoxLayout(dialog);
    const InitializerRegistryEntry* entry =
        InitializerRegistry::GetInstance()->getRegistryEntryNamed(initializer->getName());
    const QString iconPath = entry ? entry->getIconPath() : QString();
    const QPixmap icon(iconPath);
    if (!icon.isNull())
        dialog->setWindowIcon(QIcon(iconPath));

    auto* header = new QHBoxLayout();
    auto* iconLabel = new QLabel(dialog);
    if (!icon.isNull()) {
        iconLabel->setPixmap(icon);
        iconLabel->setFixedSize(icon.size());
    }
    auto* nameLabel = new DropShadowLabel(dialog);
    nameLabel->setTextFormat(Qt::PlainText);
    nameLabel->setFont(boldTitleFont());
    nameLabel->setText(initializer->getName());
    nameLabel->setToolTip(QStringLiteral("Initializer Name"));
    nameLabel->setWhatsThis(
        QStringLiteral("<b>Initializer name label.</b>  Gives the name/type of this initializer."));
    header->addWidget(iconLabel);
    header->addWidget(nameLabel, 1);
    layout->addLayout(header);
    layout->addSpacing(10);

    QWidget* editor = createEditorForInitializer(initializer, dialog);
    if (editor != nullptr) {
        dialog->setWindowTitle(QStringLiteral("Edit ") + initializer->getName());
    } else {
        dialog->setWindowTitle(QStringLiteral("Edit (unknown initializer type)"));
        editor = new QLabel(QStringLiteral("(unknown initializer type)"), dialog);
    }
    layout->addWidget(editor);
    layout->addSpacing(7);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->setCenterButtons(true);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setToolTip(QStringLiteral("Close"));
    close->setWhatsThis(QStringLiteral("<b>Close button.</b>  Closes this intializer editor."));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->setFixedSize(dialog->sizeHint());
    return dialog;
}

} // namespace

void editMIDIPatchInitializer(MIDIPatchInitializer* initializer, QWidget* parent)
{
    if (initializer == nullptr)
        return;
    QWidget* owner = TransformDialogManager::GetInstance()->getMainWindow();
    if (owner == nullptr && parent != nullptr)
        owner = parent->window();
    QPointer<QDialog> dialog = buildInitializerDialog(initializer, owner);
    auto* watch = new ModelObjectWatch(initializer, dialog);
    QObject::connect(watch, &ModelObjectWatch::objectGoing, dialog.data(), &QDialog::reject);
    dialog->exec();
    if (!dialog)
        return;
    dialog->setParent(nullptr);
    dialog->deleteLater();
}
