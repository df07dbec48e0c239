#include "model/DomLookup.h"

#include <QDomNodeList>

QDomElement getFirstElementWithTagName(const QDomElement& parent, const QString& tagName)
{
    // elementsByTagName walks all descendants in document order and returns elements only.
    const QDomNodeList matches = parent.elementsByTagName(tagName);
    for (int i = 0; i < matches.count(); ++i) {
        QDomElement element = matches.at(i).toElement();
        if (!element.isNull())
            return element;
    }
    return QDomElement();
}
