#include "model/transforms/ValueMapClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* applicationClipboard()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    return QGuiApplication::clipboard();
}

} // namespace

QString valueMapMimeType()
{
    return QStringLiteral("x-application/Quorvell-ValueMap-AsString");
}

void putValueMapInClipboardAsString(const QString& mapString)
{
    QClipboard* clipboard = applicationClipboard();
    if (clipboard == nullptr)
        return;
    auto* mimeData = new QMimeData;
    mimeData->setData(valueMapMimeType(), mapString.toLatin1());
    clipboard->setMimeData(mimeData, QClipboard::Clipboard);
}

bool doesClipboardHaveValueMap()
{
    QClipboard* clipboard = applicationClipboard();
    if (clipboard == nullptr)
        return false;
    const QMimeData* mimeData = clipboard->mimeData(QClipboard::Clipboard);
    return mimeData != nullptr && mimeData->hasFormat(valueMapMimeType());
}

QString getValueMapFromClipboardAsString()
{
    QClipboard* clipboard = applicationClipboard();
    if (clipboard == nullptr)
        return QString();
    const QMimeData* mimeData = clipboard->mimeData(QClipboard::Clipboard);
    if (mimeData == nullptr || !mimeData->hasFormat(valueMapMimeType()))
        return QString();
    return QString::fromLatin1(mimeData->data(valueMapMimeType()));
}
