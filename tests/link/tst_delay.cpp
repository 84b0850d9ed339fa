#include "delay.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

using namespace telx5;

class TestDelay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(1.0); }
    void cleanupTestCase() { setDelayTimeScale(1.0); }

    void waitsLongerThanAsked_data();
    void waitsLongerThanAsked();
    void negativeReturnsWithoutDispatching();
    void dispatchesEventsWhileWaiting();
    void nestedWaitsEachKeepTheirDeadline_data();
    void nestedWaitsEachKeepTheirDeadline();
    void timeScaleShortensWaits_data();
    void timeScaleShortensWaits();
};

void TestDelay::waitsLongerThanAsked_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero waits for the clock to advance") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("twenty") << 20;
    QTest::newRow("one hundred") << 100;
}

void TestDelay::waitsLongerThanAsked()
{
    QFETCH(int, ms);
    QElapsedTimer clock;
    clock.start();
    Delay(ms);
    QVERIFY2(clock.elapsed() > ms, qPrintable(QString::number(clock.elapsed())));
    // Generous upper bound: the wait ends soon after its deadline even when
    // no other event wakes it.
    QVERIFY2(clock.elapsed() < ms + 1000, qPrintable(QString::number(clock.elapsed())));
}

void TestDelay::negativeReturnsWithoutDispatching()
{
    bool ran = false;
    QTimer::singleShot(0, this, [&ran] { ran = true; });
    Delay(-1);
    QVERIFY(!ran);
    Delay(0);
    QVERIFY(ran);
}

void TestDelay::dispatchesEventsWhileWaiting()
{
    int ticks = 0;
    QTimer timer;
    timer.setInterval(5);
    connect(&timer, &QTimer::timeout, this, [&ticks] { ++ticks; });
    timer.start();
    Delay(60);
    QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
}

void TestDelay::nestedWaitsEachKeepTheirDeadline_data()
{
    QTest::addColumn<int>("outerMs");
    QTest::addColumn<int>("innerMs");
    QTest::newRow("inner ends first") << 150 << 30;
    QTest::newRow("inner outlasts the outer") << 40 << 150;
}

void TestDelay::nestedWaitsEachKeepTheirDeadline()
{
    QFETCH(int, outerMs);
    QFETCH(int, innerMs);
    QElapsedTimer clock;
    clock.start();
    qint64 innerEnded = -1;
    // A handler that runs inside the outer wait and waits itself.
    QTimer::singleShot(10, this, [&] {
        Delay(innerMs);
        innerEnded = clock.elapsed();
    });
    Delay(outerMs);
    const qint64 outerEnded = clock.elapsed();
    QVERIFY(innerEnded >= 0);
    QVERIFY2(innerEnded > 10 + innerMs - 1, qPrintable(QString::number(innerEnded)));
    QVERIFY2(outerEnded > outerMs, qPrintable(QString::number(outerEnded)));
    // The outer wait cannot end while the handler inside it still runs, and
    // does not linger once both deadlines have passed.
    QVERIFY(outerEnded >= innerEnded);
    QVERIFY2(outerEnded < std::max<qint64>(outerMs, innerEnded) + 1000,
             qPrintable(QString::number(outerEnded)));
}

void TestDelay::timeScaleShortensWaits_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("ms");
    QTest::addColumn<int>("atLeastMs");
    QTest::addColumn<int>("belowMs");
    QTest::newRow("20 s connect phase at 1/100") << 0.01 << 20000 << 200 << 2000;
    QTest::newRow("five seconds at 1/100") << 0.01 << 5000 << 50 << 2500;
    QTest::newRow("eight seconds at 1/10") << 0.1 << 8000 << 800 << 4000;
}

void TestDelay::timeScaleShortensWaits()
{
    QFETCH(double, scale);
    QFETCH(int, ms);
    QFETCH(int, atLeastMs);
    QFETCH(int, belowMs);
    setDelayTimeScale(scale);
    QCOMPARE(delayTimeScale(), scale);
    QElapsedTimer clock;
    clock.start();
    Delay(ms);
    QVERIFY2(clock.elapsed() > atLeastMs - 1, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(clock.elapsed() < belowMs, qPrintable(QString::number(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestDelay)
#include "tst_delay.moc"
