#include "ui/indicator.h"

#include <QLabel>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;
using namespace kavro;

Q_DECLARE_METATYPE(GaugeKind)

// The gauge's layout, with every expected number worked out by hand from the
// drawing rules (S start along the axis, A near edge across it, L length, T
// thickness, M maximum; F, G, H the zone lengths, B the bar length).
class tst_Indicator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void geometry_data();
    void geometry();
    void scaleAloneMovesNothing();
    void shapePaintsFillAndOutline();
    void destructorRemovesItsControls();
};

void tst_Indicator::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_Indicator::geometry_data()
{
    QTest::addColumn<GaugeKind>("kind");
    QTest::addColumn<GaugeRect>("placement");
    QTest::addColumn<QList<double>>("scale"); // maximum, LowLimit, HighLimit
    QTest::addColumn<double>("value");
    QTest::addColumn<QList<QRect>>("shapes"); // in index order
    QTest::addColumn<QList<int>>("marks"); // label centres along the axis
    QTest::addColumn<QStringList>("texts");

    // L = 100, M = 22, LowLimit 3: F = round(13.64) = 14, G = 86; zone A from
    // S + 86, zone B from S with length 86 + 1; B = round(50) = 50.
    QTest::newRow("kind 0, LowLimit 3 of 22")
        << gkVerticalTwoZones << VerticalGaugeRect(20, 10, 70, 100) << QList<double> { 22, 3, 5 }
        << 11.0
        << QList<QRect> { { 20, 10, 70, 101 }, { 33, 60, 44, 50 }, { 20, 96, 14, 14 },
               { 76, 96, 14, 14 }, { 20, 10, 14, 87 }, { 76, 10, 14, 87 } }
        << QList<int> { 110, 10, 96 } << QStringList { u"0"_s, u"22"_s, u"3"_s };
    // T = 33: t = 6.6, u = 19.8; strips round(6.6) = 7 wide at A and
    // round(26.4) = 26; bar across round(6.6) - 1 = 6, round(19.8) + 2 = 22
    // wide. B = round(12.5) = 12, the half to the even neighbour.
    QTest::newRow("kind 0, odd thickness, half pixel bar")
        << gkVerticalTwoZones << VerticalGaugeRect(0, 0, 33, 50) << QList<double> { 10, 5, 5 }
        << 2.5
        << QList<QRect> { { 0, 0, 33, 51 }, { 6, 38, 22, 12 }, { 0, 25, 7, 25 }, { 26, 25, 7, 25 },
               { 0, 0, 7, 26 }, { 26, 0, 7, 26 } }
        << QList<int> { 50, 0, 25 } << QStringList { u"0"_s, u"10"_s, u"5"_s };
    // LowLimit = HighLimit: F = round(55.29) = 55, G = 0, H = 31. Zone B is
    // still drawn two pixels long (start - 1, length + 2); labels 2 and 3
    // share their mark. The value at the maximum fills the scale.
    QTest::newRow("kind 1, LowLimit = HighLimit, value at maximum")
        << gkVerticalThreeZones << VerticalGaugeRect(49, 6, 70, 86) << QList<double> { 7, 4.5, 4.5 }
        << 7.0
        << QList<QRect> { { 49, 6, 70, 87 }, { 62, 6, 44, 86 }, { 49, 37, 14, 55 },
               { 105, 37, 14, 55 }, { 49, 36, 14, 2 }, { 105, 36, 14, 2 }, { 49, 6, 14, 31 },
               { 105, 6, 14, 31 } }
        << QList<int> { 92, 6, 37, 37 } << QStringList { u"0"_s, u"7"_s, u"4,5"_s, u"4,5"_s };
    // F = round(254.43) = 254, G = 64; the background starts one pixel
    // before S; zone B from S + F - 1 with length G + 1. Value 0: no bar.
    QTest::newRow("kind 2, value 0")
        << gkHorizontalTwoZones << HorizontalGaugeRect(416, 13, 318, 70)
        << QList<double> { 99.99, 80, 80 } << 0.0
        << QList<QRect> { { 415, 13, 319, 70 }, { 416, 26, 0, 44 }, { 416, 13, 254, 14 },
               { 416, 69, 254, 14 }, { 669, 13, 65, 14 }, { 669, 69, 65, 14 } }
        << QList<int> { 416, 734, 670 } << QStringList { u"0"_s, u"99,99"_s, u"80"_s };
    // F = round(34.98) = 35, G = round(28.62) = 29, H = 254, B = round(26.08)
    // = 26; zone B from S + F - 1 with length G + 2.
    QTest::newRow("kind 3, engine speed")
        << gkHorizontalThreeZones << HorizontalGaugeRect(49, 13, 318, 70)
        << QList<double> { 9999, 1100, 2000 } << 820.0
        << QList<QRect> { { 48, 13, 319, 70 }, { 49, 26, 26, 44 }, { 49, 13, 35, 14 },
               { 49, 69, 35, 14 }, { 83, 13, 31, 14 }, { 83, 69, 31, 14 }, { 113, 13, 254, 14 },
               { 113, 69, 254, 14 } }
        << QList<int> { 49, 367, 84, 113 }
        << QStringList { u"0"_s, u"9999"_s, u"1100"_s, u"2000"_s };
}

void tst_Indicator::geometry()
{
    QFETCH(GaugeKind, kind);
    QFETCH(GaugeRect, placement);
    QFETCH(QList<double>, scale);
    QFETCH(double, value);
    QFETCH(QList<QRect>, shapes);
    QFETCH(QList<int>, marks);
    QFETCH(QStringList, texts);

    QWidget panel;
    panel.resize(800, 200);
    TIndicator gauge(&panel, kind, GaugeRect {});
    gauge.SetScale(scale[0], scale[1], scale[2]);
    for (int i = 0; i < gauge.ShapeCount(); ++i)
        QVERIFY(gauge.Shape(i)->isHidden());
    gauge.SetPlacement(placement);
    gauge.SetValue(value);

    QCOMPARE(gauge.ShapeCount(), shapes.size());
    for (int i = 0; i < gauge.ShapeCount(); ++i) {
        QVERIFY2(!gauge.Shape(i)->isHidden(), qPrintable(u"shape %1"_s.arg(i)));
        QCOMPARE(gauge.Shape(i)->geometry(), shapes[i]);
    }
    QCOMPARE(gauge.LabelCount(), marks.size());
    const bool vertical = kind <= gkVerticalThreeZones;
    for (int i = 0; i < gauge.LabelCount(); ++i) {
        const QLabel *label = gauge.Label(i);
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), texts[i]);
        QCOMPARE(label->size(), label->sizeHint());
        // Centred on the mark; beside a vertical scale, under a horizontal one.
        if (vertical) {
            QCOMPARE(label->y() + label->height() / 2, marks[i]);
            QCOMPARE(label->x(), placement.Left + placement.Right + 4);
        } else {
            QCOMPARE(label->x() + label->width() / 2, marks[i]);
            QCOMPARE(label->y(), placement.Left + placement.Right);
        }
    }
}

void tst_Indicator::scaleAloneMovesNothing()
{
    QWidget panel;
    TIndicator gauge(&panel, gkVerticalThreeZones, VerticalGaugeRect(0, 0, 70, 100));
    gauge.SetScale(10, 2, 5);
    gauge.SetValue(4);
    const QRect zoneA = gauge.Shape(2)->geometry();
    const QPoint lowLabel = gauge.Label(2)->pos();

    gauge.SetScale(10, 4, 5);

    QCOMPARE(gauge.Label(2)->text(), u"4"_s);
    QCOMPARE(gauge.Label(2)->pos(), lowLabel);
    QCOMPARE(gauge.Shape(2)->geometry(), zoneA);
    gauge.Redraw();
    QCOMPARE(gauge.Shape(2)->geometry(), QRect(0, 60, 14, 40));
    QCOMPARE(gauge.Label(2)->y() + gauge.Label(2)->height() / 2, 60);
}

void tst_Indicator::shapePaintsFillAndOutline()
{
    QWidget panel;
    RectangleShape shape(&panel);
    shape.SetBrushColor(QColor(56, 201, 52));
    shape.setGeometry(0, 0, 6, 4);
    const QImage image = shape.grab().toImage();
    const QRgb black = qRgb(0, 0, 0);
    for (const QPoint edge : { QPoint(0, 0), QPoint(5, 0), QPoint(0, 3), QPoint(5, 3) })
        QCOMPARE(image.pixel(edge), black);
    QCOMPARE(image.pixel(1, 1), qRgb(56, 201, 52));
    QCOMPARE(image.pixel(4, 2), qRgb(56, 201, 52));
}

void tst_Indicator::destructorRemovesItsControls()
{
    QWidget panel;
    auto gauge = std::make_unique<TIndicator>(
        &panel, gkHorizontalThreeZones, HorizontalGaugeRect(0, 0, 100, 70));
    QCOMPARE(panel.findChildren<QWidget *>().size(), 12);
    gauge.reset();
    QVERIFY(panel.findChildren<QWidget *>().isEmpty());
}

QTEST_MAIN(tst_Indicator)
#include "tst_indicator.moc"
