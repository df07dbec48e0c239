#include "widgets/ReorderWidget.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

// A stack of three panels 40 pixels tall, reordered with the mouse as a player would.
class ReorderWidgetTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> _window;
    ReorderWidget* _box = nullptr;
    QList<QPointer<QLabel>> _panels;

    void build(Qt::Orientation orientation, int numPanels = 3)
    {
        _window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(_window.get());
        _box = new ReorderWidget(orientation, 0, 1, _window.get());
        _box->setSpacing(2);
        layout->addWidget(_box);
        _panels.clear();
        for (int i = 0; i < numPanels; ++i) {
            auto* panel = new QLabel(QStringLiteral("Panel %1").arg(i));
            panel->setFixedSize(120, 40);
            panel->setAutoFillBackground(true);
            _box->addWidget(panel);
            _panels.append(panel);
        }
        _window->resize(orientation == Qt::Vertical ? QSize(200, 300) : QSize(500, 100));
        _window->show();
        QVERIFY(QTest::qWaitForWindowExposed(_window.get()));
    }

    QList<QWidget*> order() const
    {
        QList<QWidget*> widgets;
        for (int i = 0; i < _box->getNumWidgets(); ++i)
            widgets.append(_box->getWidgetAtIndex(i));
        return widgets;
    }

    QPoint centreOf(QWidget* widget) const { return widget->geometry().center(); }

    static int distance() { return QApplication::startDragDistance(); }

    // A plain left-button move, delivered as the window would deliver it to the box.
    void dragMoveTo(const QPoint& point)
    {
        QMouseEvent move(QEvent::MouseMove, point, _box->mapToGlobal(point), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(_box, &move);
    }

    void drag(QWidget* panel, const QPoint& to)
    {
        const QPoint from = centreOf(panel);
        QTest::mousePress(_box, Qt::LeftButton, {}, from);
        dragMoveTo(from + QPoint(0, distance()));
        dragMoveTo(to);
        QTest::mouseRelease(_box, Qt::LeftButton, {}, to);
    }

private slots:
    void cleanup()
    {
        _window.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void shakyClickNeverReorders()
    {
        build(Qt::Vertical);
        QSignalSpy moved(_box, qOverload<int, int>(&ReorderWidget::widgetMovedToIndex));
        const QList<QWidget*> before = order();
        const QPoint press = centreOf(_panels[0]);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(0, distance() - 1));
        QVERIFY(!_box->isReorderInProgress());
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press + QPoint(0, distance() - 1));
        QCOMPARE(order(), before);
        QCOMPARE(moved.count(), 0);
    }

    void dragBeginsAtTheStartDragDistance()
    {
        build(Qt::Vertical);
        QSignalSpy dragging(_box, &ReorderWidget::draggingToPoint);
        const QPoint press = centreOf(_panels[0]);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(distance() / 2, distance() - distance() / 2)); // Manhattan length
        QVERIFY(_box->isReorderInProgress());
        QCOMPARE(dragging.count(), 1);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
        // The landing bar is in the list while dragging; the panels are all still there.
        QCOMPARE(_box->getNumWidgets(), 4);
        int bars = 0;
        for (int i = 0; i < 4; ++i)
            bars += _box->isDropIndicatorAtIndex(i) ? 1 : 0;
        QCOMPARE(bars, 1);
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press + QPoint(0, distance()));
        QVERIFY(!_box->isReorderInProgress());
        QCOMPARE(_box->getNumWidgets(), 3);
    }

    void draggingTopPanelBelowSecondMovesIt()
    {
        build(Qt::Vertical);
        QSignalSpy movedWidget(_box, qOverload<QWidget*, int>(&ReorderWidget::widgetMovedToIndex));
        QSignalSpy movedIndex(_box, qOverload<int, int>(&ReorderWidget::widgetMovedToIndex));
        QWidget* a = _panels[0];
        QWidget* b = _panels[1];
        QWidget* c = _panels[2];
        // Between the second and the third panel's centres.
        drag(a, QPoint(60, (centreOf(b).y() + centreOf(c).y()) / 2));
        QCOMPARE(order(), (QList<QWidget*>{b, a, c}));
        const QList<QVariant> last = movedIndex.takeLast();
        QCOMPARE(last.at(0).toInt(), 0);
        QCOMPARE(last.at(1).toInt(), 1);
        QCOMPARE(movedWidget.takeLast().at(0).value<QWidget*>(), a);
    }

    void draggingBottomPanelToTheTopMovesIt()
    {
        build(Qt::Vertical);
        QWidget* a = _panels[0];
        QWidget* b = _panels[1];
        QWidget* c = _panels[2];
        drag(c, QPoint(60, a->y() + 2));
        QCOMPARE(order(), (QList<QWidget*>{c, a, b}));
    }

    void draggingSidewaysInARow()
    {
        build(Qt::Horizontal);
        QWidget* a = _panels[0];
        QWidget* b = _panels[1];
        QWidget* c = _panels[2];
        const QPoint from = centreOf(a);
        QTest::mousePress(_box, Qt::LeftButton, {}, from);
        dragMoveTo(from + QPoint(distance(), 0));
        const QPoint to(c->geometry().right() + 5, from.y());
        dragMoveTo(to);
        QTest::mouseRelease(_box, Qt::LeftButton, {}, to);
        QCOMPARE(order(), (QList<QWidget*>{b, c, a}));
    }

    void droppingOnItsOwnPlaceMovesNothing()
    {
        build(Qt::Vertical);
        _box->setReorderMode(0);
        QSignalSpy requested(_box, &ReorderWidget::reorderRequested);
        QSignalSpy moved(_box, qOverload<int, int>(&ReorderWidget::widgetMovedToIndex));
        const QList<QWidget*> before = order();
        drag(_panels[1], centreOf(_panels[1]) + QPoint(0, 3));
        QCOMPARE(order(), before);
        QCOMPARE(requested.count(), 0);
        // Only the landing bar moved while dragging; no panel did.
        for (const QList<QVariant>& args : moved) {
            QWidget* widget = _box->getWidgetAtIndex(args.at(1).toInt());
            QVERIFY(!widget || !before.contains(widget) || args.at(0).toInt() == args.at(1).toInt());
        }
    }

    void requestModeOnlyAsksTheListener()
    {
        build(Qt::Vertical);
        _box->setReorderMode(0);
        QSignalSpy requested(_box, &ReorderWidget::reorderRequested);
        const QList<QWidget*> before = order();
        drag(_panels[0], QPoint(60, _panels[2]->geometry().bottom() + 10));
        QCOMPARE(order(), before);
        QCOMPARE(requested.count(), 1);
        QCOMPARE(requested.at(0).at(0).value<QWidget*>(), _panels[0].data());
        QCOMPARE(requested.at(0).at(1).toInt(), 2);
        // The listener moves the panel once the model has moved.
        _box->moveWidgetToIndex(_panels[0], 2);
        QCOMPARE(_box->getWidgetIndex(_panels[0]), 2);
    }

    void unknownReorderModeIsIgnored()
    {
        build(Qt::Vertical);
        _box->setReorderMode(0);
        _box->setReorderMode(2);
        QCOMPARE(_box->getReorderMode(), 0);
        _box->setReorderMode(-1);
        QCOMPARE(_box->getReorderMode(), 0);
        _box->setReorderMode(1);
        QCOMPARE(_box->getReorderMode(), 1);
    }

    void singlePanelNeverDrags()
    {
        build(Qt::Vertical, 1);
        const QPoint press = centreOf(_panels[0]);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(0, 3 * distance()));
        QVERIFY(!_box->isReorderInProgress());
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press);
        QCOMPARE(_box->getNumWidgets(), 1);
    }

    void releasedClickLeavesNothingArmed()
    {
        build(Qt::Vertical);
        const QPoint press = centreOf(_panels[0]);
        QTest::mouseClick(_box, Qt::LeftButton, {}, press);
        // A later left-button move that did not start with a press on a panel must not drag.
        dragMoveTo(press + QPoint(0, 5 * distance()));
        QVERIFY(!_box->isReorderInProgress());
    }

    void removedPanelIsNoLongerArmed()
    {
        build(Qt::Vertical);
        QPointer<QLabel> panel = _panels[0];
        const QPoint press = centreOf(panel);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        _box->removeWidget(panel, true);
        QVERIFY(!panel->parent());
        dragMoveTo(press + QPoint(0, 5 * distance()));
        QVERIFY(!_box->isReorderInProgress());
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press);
        QCOMPARE(_box->getNumWidgets(), 2);
        delete panel;
    }

    void panelDeletedWhileDraggedEndsTheDrag()
    {
        build(Qt::Vertical);
        const QPoint press = centreOf(_panels[0]);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(0, distance()));
        QVERIFY(_box->isReorderInProgress());
        delete _panels[0];
        QVERIFY(!_box->isReorderInProgress());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(_box->getNumWidgets(), 2);
        for (int i = 0; i < _box->getNumWidgets(); ++i)
            QVERIFY(!_box->isDropIndicatorAtIndex(i));
        dragMoveTo(press + QPoint(0, 80));
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press + QPoint(0, 80));
        QCOMPARE(order(), (QList<QWidget*>{_panels[1], _panels[2]}));
    }

    void escapeDropsTheDrag()
    {
        build(Qt::Vertical);
        const QList<QWidget*> before = order();
        const QPoint press = centreOf(_panels[0]);
        const QPoint below(60, _panels[2]->geometry().bottom() + 10);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(0, distance()));
        dragMoveTo(below);
        QVERIFY(_box->isReorderInProgress());
        QTest::keyClick(_window.get(), Qt::Key_Escape);
        QVERIFY(!_box->isReorderInProgress());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(order(), before);
        dragMoveTo(below + QPoint(0, 5));
        QTest::mouseRelease(_box, Qt::LeftButton, {}, below);
        QCOMPARE(order(), before);
    }

    void panelAddedWhileDraggingEndsTheDrag()
    {
        build(Qt::Vertical);
        const QPoint press = centreOf(_panels[0]);
        QTest::mousePress(_box, Qt::LeftButton, {}, press);
        dragMoveTo(press + QPoint(0, distance()));
        QVERIFY(_box->isReorderInProgress());
        auto* late = new QLabel(QStringLiteral("late"));
        _box->addWidget(late);
        QVERIFY(!_box->isReorderInProgress());
        QCOMPARE(_box->getNumWidgets(), 4);
        QCOMPARE(_box->getWidgetAtIndex(3), late);
        QTest::mouseRelease(_box, Qt::LeftButton, {}, press + QPoint(0, 80));
        QCOMPARE(_box->getWidgetAtIndex(0), _panels[0].data());
    }

    void addingInsertingAndRemovingPanels()
    {
        build(Qt::Vertical, 0);
        QSignalSpy listChanged(_box, &ReorderWidget::widgetListChanged);
        QSignalSpy added(_box, &ReorderWidget::widgetAdded);
        auto* first = new QLabel(QStringLiteral("first"));
        _box->addWidget(first);
        QCOMPARE(listChanged.count(), 2);
        QCOMPARE(added.count(), 1);
        QCOMPARE(first->parentWidget(), _box);
        _box->addWidget(first); // already there
        QCOMPARE(_box->getNumWidgets(), 1);

        auto* front = new QLabel(QStringLiteral("front"));
        _box->insertWidget(front, 0);
        auto* end = new QLabel(QStringLiteral("end"));
        _box->insertWidget(end, 99);
        QCOMPARE(order(), (QList<QWidget*>{front, first, end}));
        QCOMPARE(_box->getWidgetAtIndex(3), nullptr);
        QCOMPARE(_box->getWidgetAtIndex(-1), nullptr);

        _box->moveWidgetToIndex(front, 42); // out of range: to the end
        QCOMPARE(order(), (QList<QWidget*>{first, end, front}));
        _box->moveWidgetToIndex(2, 0);
        QCOMPARE(order(), (QList<QWidget*>{front, first, end}));

        _box->removeWidget(first, false);
        QCOMPARE(first->parentWidget(), _box);
        QVERIFY(!first->isVisible());
        QVERIFY(!_box->hasWidget(first));
        delete first;

        QPointer<QWidget> gone = end;
        _box->clear();
        QCOMPARE(_box->getNumWidgets(), 0);
        QVERIFY(!gone->parent());
        QTRY_VERIFY(gone.isNull());
    }
};

QTEST_MAIN(ReorderWidgetTest)
#include "tst_ReorderWidget.moc"
