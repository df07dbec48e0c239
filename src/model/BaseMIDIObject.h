#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QObject>
#include <QString>

/// Common base of every persistent routing-model object: a name, a modified flag and a flag for
/// showing the object expanded in the editor, their change signals, and the common XML attributes.
/// GUI thread only, unless a subclass says otherwise.
class BaseMIDIObject : public QObject
{
    Q_OBJECT

public:
    BaseMIDIObject(QString name, QObject* parent);

    /// The object's type name, which is also the tag of its XML element.
    virtual QString getObjTypeName() const;
    /// A new element tagged getObjTypeName() with the "name" and "showingInnards" attributes.
    virtual QDomElement toDomElement(QDomDocument& doc);
    /// Reads "name" (empty when absent) and "showingInnards" (true when absent).
    virtual void initFromDomElement(const QDomElement& element);

    QString getName() const { return _name; }
    bool isModified() const { return _modified; }
    bool isShowingInnards() const { return _showingInnards; }

public slots:
    void setName(QString name);
    virtual void setModified(bool modified);
    void showInnards(bool showing);

signals:
    void nameChanged();
    void nameChangedTo(QString newName);
    void modifiedChanged();
    void modifiedChangedTo(bool modified);
    void showingInnardsChanged();
    void showingInnardsChangedTo(bool showing);

private:
    QString _name;
    bool _modified = false;
    bool _showingInnards = true;
};
