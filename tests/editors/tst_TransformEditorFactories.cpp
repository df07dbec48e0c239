#include "editors/BuiltInTransformEditors.h"
#include "editors/NothingToEditLabel.h"
#include "model/transforms/MIDIDataTransform.h"
#include "model/transforms/TransformRegistry.h"
#include "model/transforms/TransformRegistryEntry.h"
#include "support/TestPrefs.h"

#include <QLabel>
#include <QTest>
#include <QWidget>

class TransformEditorFactoriesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        useTemporaryPrefs();
        registerBuiltInTransformEditors();
        registerBuiltInTransformEditors();
    }

    void nothingToEditLabelIsCentred()
    {
        QWidget parent;
        QLabel* label = _createNothingToEditLabelIn(&parent);
        QCOMPARE(label->parent(), &parent);
        QCOMPARE(label->text(), QStringLiteral("(nothing to edit)"));
        QCOMPARE(label->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);
    }

    void makeMonophonicHasNothingToEdit()
    {
        QWidget dialog;
        MIDIDataTransform* transform =
            createMIDIDataTransformOfType(QStringLiteral("Make Monophonic"), nullptr);
        QVERIFY(transform != nullptr);
        auto* label = qobject_cast<QLabel*>(createEditorForTransform(transform, &dialog));
        QVERIFY(label != nullptr);
        QCOMPARE(label->text(), QStringLiteral("(nothing to edit)"));
        QCOMPARE(label->parent(), &dialog);
        delete transform;
    }

    void everyBuiltInTypeGetsAnEditor()
    {
        TransformRegistry* registry = TransformRegistry::GetInstance();
        int count = 0;
        for (const QString& category : registry->getTransformCategoryNames()) {
            for (TransformRegistryEntry* entry : registry->getTransformRegEntriesInCategory(category)) {
                QWidget dialog;
                MIDIDataTransform* transform = entry->createTransformInstance(nullptr);
                QWidget* editor = createEditorForTransform(transform, &dialog);
                QVERIFY2(editor != nullptr, qPrintable(entry->getName()));
                QCOMPARE(editor->parent(), &dialog);
                delete transform;
                ++count;
            }
        }
        QCOMPARE(count, 21);
    }
};

QTEST_MAIN(TransformEditorFactoriesTest)
#include "tst_TransformEditorFactories.moc"
