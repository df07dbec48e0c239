#include "model/BaseMIDIObject.h"
#include "model/DomLookup.h"
#include "model/EditRequestManager.h"

#include <QSignalSpy>
#include <QTest>

class BaseMIDIObjectTest : public QObject
{
    Q_OBJECT

private slots:
    void renamingAnnouncesAndMarksModified()
    {
        BaseMIDIObject object(QStringLiteral("Piano"), nullptr);
        QSignalSpy changed(&object, &BaseMIDIObject::nameChanged);
        QSignalSpy changedTo(&object, &BaseMIDIObject::nameChangedTo);
        QSignalSpy modified(&object, &BaseMIDIObject::modifiedChangedTo);
        object.setName(QStringLiteral("Piano"));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!object.isModified());
        object.setName(QStringLiteral("Strings"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changedTo.at(0).at(0).toString(), QStringLiteral("Strings"));
        QCOMPARE(modified.count(), 1);
        QVERIFY(object.isModified());
        object.setModified(true);
        QCOMPARE(modified.count(), 1);
    }

    void showingInnardsNeverMarksModified()
    {
        BaseMIDIObject object(QStringLiteral("Pad"), nullptr);
        QSignalSpy spy(&object, &BaseMIDIObject::showingInnardsChangedTo);
        QVERIFY(object.isShowingInnards());
        object.showInnards(true);
        QCOMPARE(spy.count(), 0);
        object.showInnards(false);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!object.isModified());
    }

    void xmlAttributesRoundTrip()
    {
        QDomDocument doc;
        BaseMIDIObject object(QStringLiteral("Lead \u00e9"), nullptr);
        object.showInnards(false);
        QDomElement element = object.toDomElement(doc);
        QCOMPARE(element.tagName(), QStringLiteral("BaseMIDIObject"));
        QCOMPARE(element.attribute(QStringLiteral("showingInnards")), QStringLiteral("0"));

        BaseMIDIObject copy(QString(), nullptr);
        copy.initFromDomElement(element);
        QCOMPARE(copy.getName(), QStringLiteral("Lead \u00e9"));
        QVERIFY(!copy.isShowingInnards());
        QVERIFY(copy.isModified());
    }

    void elementWithoutShowingInnardsIsShownExpanded()
    {
        QDomDocument doc;
        QDomElement element = doc.createElement(QStringLiteral("MIDIOutput"));
        BaseMIDIObject object(QStringLiteral("x"), nullptr);
        object.showInnards(false);
        object.initFromDomElement(element);
        QVERIFY(object.isShowingInnards());
        QCOMPARE(object.getName(), QString());
    }

    void firstElementIsFoundAmongGrandchildren()
    {
        QDomDocument doc;
        doc.setContent(QStringLiteral("<a><b><c id='1'/></b><c id='2'/></a>"));
        const QDomElement root = doc.documentElement();
        QCOMPARE(getFirstElementWithTagName(root, QStringLiteral("c")).attribute(QStringLiteral("id")),
                 QStringLiteral("1"));
        QVERIFY(getFirstElementWithTagName(root, QStringLiteral("d")).isNull());
    }

    void editRequestReachesTheView()
    {
        BaseMIDIObject object(QStringLiteral("Patch1"), nullptr);
        QSignalSpy spy(EditRequestManager::GetInstance(), &EditRequestManager::objectNameEditRequested);
        EditRequestManager::GetInstance()->requestObjectNameEdit(&object);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<QObject*>(), &object);
    }
};

QTEST_GUILESS_MAIN(BaseMIDIObjectTest)
#include "tst_BaseMIDIObject.moc"
