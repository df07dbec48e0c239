#pragma once

#include <QColor>
#include <QObject>
#include <QString>

/// One colour label: a colour and the name the user gave it. Copying copies colour and name (the
/// copy has no parent). GUI thread only.
class ColorChoice : public QObject
{
    Q_OBJECT

public:
    explicit ColorChoice(QObject* parent = nullptr);
    ColorChoice(const QColor& color, const QString& name, QObject* parent = nullptr);
    ColorChoice(const ColorChoice& other);
    /// Takes colour and name through the setters, so listeners hear of the change.
    ColorChoice& operator=(const ColorChoice& other);

    QColor getColor() const { return _color; }
    QString getName() const { return _name; }

public slots:
    /// Ignores an invalid colour: a label always shows a real colour.
    void setColor(const QColor& color);
    void setName(const QString& name);

signals:
    void colorChangedTo(QColor newColor);
    void nameChangedTo(QString newName);

private:
    QColor _color;
    QString _name;
};
