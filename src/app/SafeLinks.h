#pragma once

#include <QString>

class QMessageBox;

// Links shown in the program's boxes come partly from outside (update information from the
// network). Only web links, and mail links where a box offers a contact, are ever handed to the
// desktop; anything else (file:, custom schemes, scripts) is ignored.

/// True for http and https links, and for mailto links when allowMail is set.
bool isSafeLink(const QString& link, bool allowMail);

/// Opens the link with the desktop's handler when isSafeLink() allows it; returns whether it did.
/// GUI thread only.
bool openLinkIfSafe(const QString& link, bool allowMail);

/// Makes every label of the box pass its links through openLinkIfSafe() (web links only) instead
/// of opening them itself. Call after setting the box's text. GUI thread only.
void routeMessageBoxLinksThroughSafeOpener(QMessageBox* box);
