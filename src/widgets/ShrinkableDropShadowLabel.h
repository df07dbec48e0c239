#pragma once

#include "widgets/ShrinkableLabel.h"

/// A shrinkable label whose shown text is painted with a drop shadow. GUI thread only.
class ShrinkableDropShadowLabel : public ShrinkableLabel
{
    Q_OBJECT

public:
    explicit ShrinkableDropShadowLabel(QWidget* parent = nullptr);
    explicit ShrinkableDropShadowLabel(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
