#pragma once

#include "widgets/ObjectIndicatorWidget.h"

#include <QPointer>
#include <optional>

class MIDIDataTransform;

/// The indicator of one transform in a patch's transform strip: the type's icon, dimmed while
/// bypassed. A click opens the editor (Shift: every editor of the patch; Alt: this one and those
/// after it); Control toggles bypass (Control+Shift: every transform of the patch, Control+Alt:
/// from this one on); the context menu removes transforms. GUI thread only.
class TransformWidget : public ObjectIndicatorWidget
{
    Q_OBJECT

public:
    TransformWidget(MIDIDataTransform* transform, QWidget* parent);

    MIDIDataTransform* getMIDIDataTransform() const;

    /// What a click does with the given modifiers (exactly these keys held).
    void actOnClickWithModifiers(Qt::KeyboardModifiers modifiers);
    /// What the context menu's "Remove" entry does with the given modifiers. Runs at once; the
    /// menu defers it until the menu has closed.
    void removeWithModifiers(Qt::KeyboardModifiers modifiers);

protected:
    void enterEvent(QEnterEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void _clickedSLOT();
    void _bypassChangedToSLOT(bool bypassed);

private:
    QPointer<MIDIDataTransform> _transform;
    /// The modifiers of the mouse release that clicked, read by the click; none pending otherwise.
    std::optional<Qt::KeyboardModifiers> _clickModifiers;
};
