#include "widgets/PatchAddMenus.h"

#include "app/StatusManager.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/InitializerRegistryEntry.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformRegistryEntry.h"
#include "widgets/MIDIObjectPanel.h"

#include <QMenu>

namespace {
void addTypeEntry(QMenu* owner, QMenu* menu, const QString& iconPath, const QString& name,
                  const QString& description)
{
    QAction* action = menu->addAction(QIcon(iconPath), name);
    action->setData(name);
    if (!description.isEmpty()) {
        action->setStatusTip(description);
        QObject::connect(action, &QAction::hovered, owner,
                         [description] { postStatusMessage(description, 3000); });
    }
}
} // namespace

QMenu* PatchAddMenus::createInitializerMenu(int minimumWidth)
{
    auto* menu = new QMenu;
    menu->setMinimumWidth(minimumWidth);
    InitializerRegistry* registry = InitializerRegistry::GetInstance();
    for (int i = 0; i < registry->getNumRegistryEntries(); ++i) {
        InitializerRegistryEntry* entry = registry->getRegistryEntryAtIndex(i);
        addTypeEntry(menu, menu, entry->getIconPath(), entry->getName(), entry->getDescription());
    }
    return menu;
}

QMenu* PatchAddMenus::createTransformMenu(int minimumWidth)
{
    auto* menu = new QMenu;
    menu->setMinimumWidth(minimumWidth);
    TransformRegistry* registry = TransformRegistry::GetInstance();
    for (const QString& category : registry->getTransformCategoryNames()) {
        QMenu* sub = menu->addMenu(QIcon(registry->getIconPathForCategoryNamed(category)),
                                   MIDIObjectPanel::menuText(category));
        for (TransformRegistryEntry* entry : registry->getTransformRegEntriesInCategory(category))
            addTypeEntry(menu, sub, entry->getIconPath(), entry->getName(), entry->getDescription());
    }
    return menu;
}
