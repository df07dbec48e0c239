#include "app/PortAliasEditorDelegate.h"

QWidget* PortAliasEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    if (index.column() != kDisplayNameColumn)
        return nullptr;
    return QItemDelegate::createEditor(parent, option, index);
}
