#include "editors/InitializerEditors.h"
#include "model/initializers/InitializerRegistry.h"
#include "model/initializers/MIDIPatchInitializer.h"
#include "support/TestPrefs.h"

#include <QLabel>
#include <QTest>
#include <memory>

class InitializerEditorsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useTemporaryPrefs(); }

    void everyBuiltInTypeHasItsOwnEditor()
    {
        QWidget parent;
        const QStringList types{"Note On", "Note Off", "Program Change", "Volume", "CC", "Pitch Bend"};
        for (const QString& type : types) {
            std::unique_ptr<MIDIPatchInitializer> initializer(
                createMIDIPatchInitializerOfType(type, nullptr));
            QVERIFY(initializer);
            QWidget* editor = createEditorForInitializer(initializer.get(), &parent);
            QVERIFY2(editor, qPrintable(type));
            QCOMPARE(editor->parentWidget(), &parent);
            // Every built-in type has a real editor, not the placeholder label.
            QVERIFY2(qobject_cast<QLabel*>(editor) == nullptr, qPrintable(type));
        }
    }

    void unknownTypeHasNoEditor()
    {
        MIDIPatchInitializer stranger(QStringLiteral("Stranger"), nullptr);
        QCOMPARE(createEditorForInitializer(&stranger, nullptr), nullptr);
        QCOMPARE(createEditorForInitializer(nullptr, nullptr), nullptr);
    }
};

QTEST_MAIN(InitializerEditorsTest)
#include "tst_InitializerEditors.moc"
