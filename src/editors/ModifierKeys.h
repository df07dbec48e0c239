#pragma once

#include <Qt>

/// The Shift, Control and Alt keys among the modifiers, and nothing else: the editors compare
/// these for exact equality (a held keypad or meta key does not change what a click does).
inline Qt::KeyboardModifiers significantModifiers(Qt::KeyboardModifiers modifiers)
{
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}
