#pragma once

#include <QDomElement>
#include <QString>

/// The first element among all descendants of the parent (document order) with the tag name;
/// a null element when there is none.
QDomElement getFirstElementWithTagName(const QDomElement& parent, const QString& tagName);
