#pragma once

#include <QString>

/// A transform's one-line description: the given text, followed by " (bypassed)" when the
/// transform is bypassed. GUI thread.
inline QString describeTransform(QString text, bool bypassed)
{
    if (bypassed)
        text += QStringLiteral(" (bypassed)");
    return text;
}
