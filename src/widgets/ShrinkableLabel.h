#pragma once

#include <QLabel>

/// A plain-text label that keeps its full text and shows as much of it as fits, with an ellipsis
/// where it had to cut; the full text is then its tool tip. GUI thread only.
class ShrinkableLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ShrinkableLabel(QWidget* parent = nullptr);
    explicit ShrinkableLabel(const QString& text, QWidget* parent = nullptr);

    QString getFullText() const { return _fullText; }
    Qt::TextElideMode getTextElideMode() const { return _elideMode; }
    void setTextElideMode(Qt::TextElideMode mode);

    /// Wide enough for the whole text; the label may still be squeezed down to an ellipsis.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void _elide();

    QString _fullText;
    Qt::TextElideMode _elideMode = Qt::ElideRight;
};
