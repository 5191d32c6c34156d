// Monitoring mode on the trend chart, with the chart, the monitoring dialog,
// a controlled clock and scripted dialogs standing in for the main window's.
// (That no sample arrives while no vehicle is shown is the main window's
// part: it shows no values on its empty page.)
#include "platform/programname.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/monparamsform.h"
#include "ui/trendchart.h"
#include "ui/trendmonitor.h"

#include <QAction>
#include <QDateTimeAxis>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QValueAxis>
#include <QtEndian>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

const QString InitialStatus = u"(as before)"_s;
const QString OnText = u" Режим слежения включен"_s;
const QString OffText = u" Режим слежения выключен"_s;
const QStringList ChartActions
    = { u"actSaveGraphics"_s, u"actClear"_s, u"actPause"_s, u"actResume"_s };
const QDate Day(2026, 12, 8);

QDateTime At(int hour, int minute, int second, int ms = 0)
{
    return QDateTime(Day, QTime(hour, minute, second, ms));
}

// Answers the monitoring dialog with a span, or cancels it.
test::ScriptedDialogs::DialogHandler MonitoringDialog(int result, QTime span = QTime(0, 10))
{
    return [=](QDialog &dialog) {
        static_cast<TMonParamsForm &>(dialog).DateTimePicker1->setTime(span);
        return result;
    };
}

} // namespace

class tst_TrendMonitor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startSetsTheAxisAndItFollowsTheNewestPoint();
    void stateTable_data();
    void stateTable();
    void cancelledStartChangesNothing();
    void pauseThenClear();
    void stopThenStartRemovesOldPoints();
    void valuesAreChartedUnlimited();
    void zeroSpanDoesNotCrash();
    void redrawsWaitAndOnlyWhenShown();
    void saveAsBitmap_data();
    void saveAsBitmap();
    void writeFailureIsShown();
    void dialogKeys_data();
    void dialogKeys();
    void windowDumps();
    void chartSettings();
    void labelStepsFollowTheHeight_data();
    void labelStepsFollowTheHeight();
    void screenshots();

private:
    void Start(QTime span = QTime(0, 10));
    void Sample(const QDateTime &time);
    QString EnabledChartActions() const;
    TTrendChart &Chart() const { return *panel_->Chart1; }

    std::unique_ptr<QTemporaryDir> folder_;
    QString programFolder_;
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<QWidget> window_;
    TTrendChartPanel *panel_ = nullptr;
    QMap<QString, QAction *> actions_;
    QString status_;
    TrendMonitorContext::ChartValueArray values_ {};
    QString registrationNumber_;
    int graphicsShown_ = 0;
    std::unique_ptr<TrendMonitor> monitor_;
};

void tst_TrendMonitor::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_TrendMonitor::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    programFolder_ = folder_->filePath(u"program"_s);
    QDir().mkpath(programFolder_);
    environment_ = std::make_unique<test::FakeEnvironment>(programFolder_);
    environment_->now = At(11, 59, 0);
    window_ = std::make_unique<QWidget>();
    window_->resize(800, 565);
    panel_ = new TTrendChartPanel(window_.get());
    panel_->setGeometry(4, 154, 792, 387);
    for (const QString &name :
        ChartActions + QStringList { u"actMonitoring"_s, u"actGraphics"_s }) {
        auto *action = new QAction(name, window_.get());
        action->setObjectName(name);
        action->setEnabled(!ChartActions.contains(name)); // as after a registration
        actions_[name] = action;
    }
    connect(actions_[u"actGraphics"_s], &QAction::triggered, this, [this] { ++graphicsShown_; });
    status_ = InitialStatus;
    values_ = { 0.5, 120, 14, 0.7, 1.0, 800, 85 };
    graphicsShown_ = 0;
    monitor_ = std::make_unique<TrendMonitor>(
        TrendMonitorContext {
            .actMonitoring = actions_[u"actMonitoring"_s],
            .actSaveGraphics = actions_[u"actSaveGraphics"_s],
            .actClear = actions_[u"actClear"_s],
            .actPause = actions_[u"actPause"_s],
            .actResume = actions_[u"actResume"_s],
            .actGraphics = actions_[u"actGraphics"_s],
            .setMonitoringStatus = [this](const QString &text) { status_ = text; },
            .chartValues = [this] { return values_; },
            .registrationNumber = [this] { return registrationNumber_; },
            .dialogs = *dialogs_,
            .environment = *environment_,
            .dialogParent = window_.get(),
        },
        *panel_->Chart1);
}

void tst_TrendMonitor::cleanup()
{
    monitor_.reset();
    window_.reset();
    actions_.clear();
}

void tst_TrendMonitor::Start(QTime span)
{
    dialogs_->dialogHandlers << MonitoringDialog(QDialog::Accepted, span);
    actions_[u"actMonitoring"_s]->trigger();
}

void tst_TrendMonitor::Sample(const QDateTime &time)
{
    environment_->now = time;
    monitor_->AddChartSample();
}

// "SaveGraphics Clear Pause": the enabled chart actions besides actMonitoring.
QString tst_TrendMonitor::EnabledChartActions() const
{
    QStringList names;
    for (const QString &name : ChartActions)
        if (actions_[name]->isEnabled())
            names << name.mid(3);
    return names.join(u' ');
}

void tst_TrendMonitor::startSetsTheAxisAndItFollowsTheNewestPoint()
{
    environment_->now = At(12, 0, 0);
    Start();
    QCOMPARE(dialogs_->modalDialogs, QStringList { u"TMonParamsForm"_s });
    QCOMPARE(graphicsShown_, 1);
    Chart().RedrawNow();
    QCOMPARE(Chart().BottomAxis->min(), At(12, 0, 0));
    QCOMPARE(Chart().BottomAxis->max(), At(12, 10, 0));
    QCOMPARE(Chart().BottomAxis->tickCount(), 11); // a label every minute

    Sample(At(12, 5, 0));
    Sample(At(12, 10, 0));
    Chart().RedrawNow();
    QCOMPARE(Chart().BottomAxis->min(), At(12, 0, 0));
    Sample(At(12, 10, 0, 500));
    Chart().RedrawNow();
    QCOMPARE(Chart().BottomAxis->min(), At(12, 0, 0, 500));
    QCOMPARE(Chart().BottomAxis->max(), At(12, 10, 0, 500));
    QCOMPARE(Chart().BottomAxis->tickCount(), 11);
    QCOMPARE(Chart().Series5->count(), 3);
}

void tst_TrendMonitor::stateTable_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("enabled"); // chart actions besides actMonitoring
    QTest::addColumn<bool>("on");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("records");
    const auto row = [](const char *name, const char *steps, const char *enabled, bool on,
                         const QString &status, bool records) {
        QTest::newRow(name) << QString::fromUtf8(steps) << QString::fromUtf8(enabled) << on
                            << status << records;
    };
    row("never started", "", "", false, InitialStatus, false);
    row("start cancelled", "cancel", "", false, InitialStatus, false);
    row("running", "start", "SaveGraphics Clear Pause", true, OnText, true);
    row("paused", "start Pause", "SaveGraphics Clear Resume", true, OnText, false);
    row("resumed", "start Pause Resume", "SaveGraphics Clear Pause", true, OnText, true);
    row("cleared while paused", "start Pause Clear", "SaveGraphics Clear Resume", true, OnText,
        false);
    row("stopped", "start stop", "SaveGraphics", false, OffText, false);
    row("stopped while paused", "start Pause stop", "SaveGraphics", false, OffText, false);
    row("started after a paused stop", "start Pause stop start", "SaveGraphics Clear Pause", true,
        OnText, true);
    row("restart cancelled", "start stop cancel", "SaveGraphics", false, OffText, false);
}

void tst_TrendMonitor::stateTable()
{
    QFETCH(QString, steps);
    for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"start"_s || step == u"cancel"_s)
            dialogs_->dialogHandlers
                << MonitoringDialog(step == u"start"_s ? QDialog::Accepted : QDialog::Rejected);
        dialogs_->answers << UserDialogs::Yes; // to a clear
        actions_[step.at(0).isUpper() ? u"act"_s + step : u"actMonitoring"_s]->trigger();
    }
    QTEST(EnabledChartActions(), "enabled");
    QTEST(actions_[u"actMonitoring"_s]->isChecked(), "on");
    QTEST(monitor_->MonitoringOn(), "on");
    QTEST(status_, "status");
    const qsizetype before = Chart().Points().Size();
    Sample(environment_->now.addSecs(1));
    QTEST(Chart().Points().Size() == before + 1, "records");
}

void tst_TrendMonitor::cancelledStartChangesNothing()
{
    environment_->now = At(12, 0, 0);
    Start();
    Sample(At(12, 0, 1));
    actions_[u"actMonitoring"_s]->trigger(); // stop
    Chart().RedrawNow();
    const QDateTime minimum = Chart().BottomAxis->min();
    dialogs_->dialogHandlers << MonitoringDialog(QDialog::Rejected, QTime(0, 2));
    environment_->now = At(13, 0, 0);
    actions_[u"actMonitoring"_s]->trigger();
    Chart().RedrawNow();
    QCOMPARE(Chart().Points().Size(), 1);
    QCOMPARE(Chart().BottomAxis->min(), minimum);
    QCOMPARE(graphicsShown_, 1);
    QCOMPARE(status_, OffText);
    QCOMPARE(EnabledChartActions(), u"SaveGraphics"_s);
    // The span chosen before "Отмена" is shown again next time.
    QCOMPARE(monitor_->MonParamsForm().DateTimePicker1->time(), QTime(0, 2));
}

void tst_TrendMonitor::pauseThenClear()
{
    environment_->now = At(12, 0, 0);
    Start();
    Sample(At(12, 0, 1));
    Sample(At(12, 0, 2));
    actions_[u"actPause"_s]->trigger();
    environment_->now = At(12, 3, 0);
    dialogs_->answers << UserDialogs::No;
    actions_[u"actClear"_s]->trigger();
    QCOMPARE(Chart().Points().Size(), 2);
    dialogs_->answers << UserDialogs::Yes;
    actions_[u"actClear"_s]->trigger();
    QCOMPARE(dialogs_->messages.size(), 2);
    const test::ScriptedDialogs::Shown question = dialogs_->messages.last();
    QCOMPARE(question.title, u"Режим слежения"_s);
    QCOMPARE(question.text, u"Вы действительно хотите очистить область построения?"_s);
    QCOMPARE(question.icon, UserDialogs::Icon::Question);
    QCOMPARE(question.buttons, UserDialogs::Yes | UserDialogs::No);
    QCOMPARE(Chart().Points().Size(), 0);
    Chart().RedrawNow();
    QCOMPARE(Chart().BottomAxis->min(), At(12, 3, 0));
    QCOMPARE(Chart().BottomAxis->max(), At(12, 13, 0));
    QCOMPARE(Chart().Series1->count(), 0);

    Sample(At(12, 3, 1));
    QCOMPARE(Chart().Points().Size(), 0);
    actions_[u"actResume"_s]->trigger();
    Sample(At(12, 3, 2));
    QCOMPARE(Chart().Points().Size(), 1);
}

void tst_TrendMonitor::stopThenStartRemovesOldPoints()
{
    environment_->now = At(12, 0, 0);
    Start();
    for (int second = 1; second <= 5; ++second)
        Sample(At(12, 0, second));
    actions_[u"actMonitoring"_s]->trigger();
    Sample(At(12, 0, 6));
    QCOMPARE(Chart().Points().Size(), 5);
    environment_->now = At(12, 30, 0);
    Start(QTime(0, 1));
    QCOMPARE(Chart().Points().Size(), 0);
    Chart().RedrawNow();
    QCOMPARE(Chart().Series3->count(), 0);
    QCOMPARE(Chart().BottomAxis->min(), At(12, 30, 0));
    QCOMPARE(Chart().BottomAxis->max(), At(12, 31, 0));
}

void tst_TrendMonitor::valuesAreChartedUnlimited()
{
    environment_->now = At(12, 0, 0);
    Start();
    values_ = { 2147483647.0, 3500, -0.5, 25, 1.5, 4000, 120 };
    Sample(At(12, 0, 1));
    Chart().RedrawNow();
    const double x = double(At(12, 0, 1).toMSecsSinceEpoch());
    const QList<std::pair<QLineSeries *, double>> expected
        = { { Chart().Series1, 2147483647.0 }, { Chart().Series2, 3500 }, { Chart().Series3, -0.5 },
              { Chart().Series4, 25 }, { Chart().Series5, 4000 } };
    for (const auto &[series, y] : expected)
        QCOMPARE(series->points(), QList<QPointF> { QPointF(x, y) });
}

void tst_TrendMonitor::zeroSpanDoesNotCrash()
{
    environment_->now = At(12, 0, 0);
    Start(QTime(0, 0));
    for (int ms = 0; ms <= 2000; ms += 250)
        Sample(At(12, 0, 0).addMSecs(ms));
    Chart().RedrawNow();
    // Shown as the second up to the newest point, labelled at both ends.
    QCOMPARE(Chart().BottomAxis->min(), At(12, 0, 1));
    QCOMPARE(Chart().BottomAxis->max(), At(12, 0, 2));
    QCOMPARE(Chart().BottomAxis->tickCount(), 2);
    QVERIFY(!Chart().grab().isNull());
}

void tst_TrendMonitor::redrawsWaitAndOnlyWhenShown()
{
    environment_->now = At(12, 0, 0);
    Start();
    for (int sample = 1; sample <= 30; ++sample)
        Sample(At(12, 0, 0).addMSecs(sample * 33));
    QTest::qWait(TTrendChart::MaxRedrawDelayMs + TTrendChart::RedrawDelayMs);
    QCOMPARE(Chart().Series1->count(), 0); // another page is shown
    window_->show();
    QCOMPARE(Chart().Series1->count(), 30);
    Sample(At(12, 0, 1, 100));
    QCOMPARE(Chart().Series1->count(), 30); // not drawn point by point
    QTRY_COMPARE(Chart().Series1->count(), 31);
}

void tst_TrendMonitor::saveAsBitmap_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("Latin") << u"AB123"_s << u"ab123.bmp"_s;
    QTest::newRow("Cyrillic") << u"А777ВС"_s << u"А777ВС.bmp"_s;
    QTest::newRow("slash") << u"AB12/3"_s << u"ab12_3.bmp"_s;
}

void tst_TrendMonitor::saveAsBitmap()
{
    QFETCH(QString, number);
    registrationNumber_ = number;
    const QString path = folder_->filePath(u"chart.bmp"_s);
    dialogs_->saveAnswers << path;
    actions_[u"actSaveGraphics"_s]->setEnabled(true);
    actions_[u"actSaveGraphics"_s]->trigger();
    QCOMPARE(dialogs_->saveRequests.size(), 1);
    const SaveFileRequest request = dialogs_->saveRequests.first();
    QCOMPARE(request.title, u"Сохранение графиков"_s);
    QCOMPARE(request.filter, u"Bitmaps (*.bmp)"_s);
    QCOMPARE(request.defaultSuffix, u"bmp"_s);
    QCOMPARE(request.folder, programFolder_ + u"/Графики"_s);
    QVERIFY(QFileInfo(request.folder).isDir());
    QTEST(request.proposedName, "proposed");

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(26); // file header, then the size in the info header
    QCOMPARE(header.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(header.constData() + 18), Chart().width());
    QCOMPARE(std::abs(qFromLittleEndian<qint32>(header.constData() + 22)), Chart().height());
    QCOMPARE(Chart().size(), QSize(792, 387));
    QVERIFY(dialogs_->messages.isEmpty());
}

void tst_TrendMonitor::writeFailureIsShown()
{
    // The program folder has become a file: no pictures folder can be made
    // and nothing written under it. The dialog is shown all the same.
    QVERIFY(QDir(programFolder_).removeRecursively());
    QVERIFY(QFile(programFolder_).open(QIODevice::WriteOnly));
    const QString path = programFolder_ + u"/Графики/x.bmp"_s;
    dialogs_->saveAnswers << path;
    environment_->now = At(12, 0, 0);
    Start();
    monitor_->actSaveGraphicsExecute();
    QCOMPARE(dialogs_->saveRequests.size(), 1);
    QCOMPARE(dialogs_->messages.size(), 1);
    const test::ScriptedDialogs::Shown message = dialogs_->messages.first();
    QCOMPARE(message.title, ProgramName);
    QCOMPARE(message.icon, UserDialogs::Icon::Error);
    QCOMPARE(message.buttons, UserDialogs::Ok);
    const QString first = u"Не удалось сохранить рисунок в файл\r"_s + path + u'\r';
    QVERIFY2(message.text.startsWith(first) && message.text.size() > first.size(),
        qPrintable(message.text)); // the reason follows
    QVERIFY(!QFile::exists(path));
    QVERIFY(monitor_->MonitoringOn() && monitor_->MonitoringRunning());
    QCOMPARE(EnabledChartActions(), u"SaveGraphics Clear Pause"_s);
}

void tst_TrendMonitor::dialogKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter in the picker")
        << u"DateTimePicker1"_s << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter in the picker")
        << u"DateTimePicker1"_s << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Enter on Отмена")
        << u"Button2"_s << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape in the picker")
        << u"DateTimePicker1"_s << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void tst_TrendMonitor::dialogKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    TMonParamsForm &form = monitor_->MonParamsForm();
    window_->show();
    QCOMPARE(form.MonitoringDurationMs(), 600'000); // 00:10:00 at first
    form.DateTimePicker1->setTime(QTime(0, 5, 30));
    form.DateTimePicker1->setCurrentSection(QDateTimeEdit::MinuteSection);
    QTimer::singleShot(0, &form, [&] {
        QWidget *target = form.findChild<QWidget *>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
    });
    QTEST(form.exec(), "result");
    QCOMPARE(form.DateTimePicker1->time(), QTime(0, 5, 30)); // the picker did not act
    QCOMPARE(form.MonitoringDurationMs(), 330'000);
    QCOMPARE(form.geometry().center(), window_->geometry().center());
}

void tst_TrendMonitor::windowDumps()
{
    window_->show();
    QVERIFY(test::MatchesGolden(monitor_->MonParamsForm(), u"monparamsform"_s));
    QVERIFY(test::MatchesGolden(*panel_, u"trendchartpanel"_s));
}

// The chart's own settings, which a widget dump cannot see, compared with
// tests/golden/trendchart-settings.txt (KAVRO_UPDATE_GOLDEN=1 writes it).
void tst_TrendMonitor::chartSettings()
{
    QChart &chart = *Chart().chart();
    const auto colour = [](const QColor &c) { return c.name(); };
    const auto font
        = [](const QFont &f) { return u"%1,%2px"_s.arg(f.family()).arg(f.pixelSize()); };
    const auto side = [](Qt::Alignment a) {
        return a == Qt::AlignBottom ? u"bottom"_s : a == Qt::AlignLeft ? u"left"_s : u"right"_s;
    };
    QStringList lines { u"chart title=\"%1\" font=%2 colour=%3 background=%4"_s.arg(chart.title(),
        font(chart.titleFont()), colour(chart.titleBrush().color()),
        colour(chart.backgroundBrush().color())) };
    QLegend &legend = *chart.legend();
    lines << u"legend %1 font=%2 labels=%3 background=%4 border=%5"_s.arg(side(legend.alignment()),
        font(legend.font()), colour(legend.labelColor()), colour(legend.brush().color()),
        colour(legend.borderColor()));
    for (QAbstractAxis *axis : chart.axes()) {
        QString scale = u"format=%1"_s.arg(Chart().BottomAxis->format());
        if (const auto *values = qobject_cast<const QValueAxis *>(axis))
            scale = u"range=%1..%2"_s.arg(values->min()).arg(values->max());
        lines << u"axis %1 %2 title=\"%3\" %4 line=%5 grid=%6%7 minor=%8 labels=%9"_s.arg(
                     axis->objectName(), side(axis->alignment()), axis->titleText(), scale,
                     colour(axis->linePenColor()), colour(axis->gridLineColor()),
                     axis->isGridLineVisible() ? u""_s : u"(hidden)"_s,
                     colour(axis->minorGridLineColor()), colour(axis->labelsColor()))
                + u" %1 title=%2 %3"_s.arg(font(axis->labelsFont()),
                    colour(axis->titleBrush().color()), font(axis->titleFont()));
    }
    for (QAbstractSeries *series : chart.series()) {
        const auto *line = static_cast<QLineSeries *>(series);
        QStringList axes;
        for (const QAbstractAxis *axis : series->attachedAxes())
            axes << axis->objectName();
        lines << u"series %1 \"%2\" pen=%3,%4 markers=%5 legend=\"%6\" axes=%7"_s
                     .arg(line->objectName(), line->name(), colour(line->pen().color()))
                     .arg(line->pen().width())
                     .arg(line->pointsVisible() || line->pointLabelsVisible() ? u"yes"_s : u"no"_s,
                         chart.legend()->markers(series).value(0)->label(), axes.join(u','));
    }
    QStringList menu;
    for (const QAction *action : Chart().PopupMenu1->actions())
        menu << (action->isSeparator() ? u"-"_s : action->objectName());
    lines << u"PopupMenu1 [%1] policy=%2"_s.arg(menu.join(u','))
                 .arg(int(Chart().contextMenuPolicy()));

    QFile golden(QStringLiteral(KAVRO_TEST_DATA "/../golden/trendchart-settings.txt"));
    if (qEnvironmentVariableIntValue("KAVRO_UPDATE_GOLDEN") == 1) {
        QVERIFY(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write(lines.join(u'\n').toUtf8() + '\n');
        QSKIP("golden file written");
    }
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(lines, QString::fromUtf8(golden.readAll()).trimmed().split(u'\n'));
}

void tst_TrendMonitor::labelStepsFollowTheHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("leftStep");
    QTest::addColumn<double>("rightStep");
    QTest::newRow("maximised") << 900 << 1.0 << 100.0;
    QTest::newRow("design size") << 387 << 2.0 << 200.0;
    QTest::newRow("low") << 200 << 5.0 << 500.0;
    QTest::newRow("no room") << 90 << 30.0 << 3000.0;
}

void tst_TrendMonitor::labelStepsFollowTheHeight()
{
    QFETCH(int, height);
    window_->resize(800, height + 200);
    panel_->resize(792, height);
    window_->show();
    Chart().RedrawNow();
    QTEST(Chart().LeftAxis->tickInterval(), "leftStep");
    QTEST(Chart().RightAxis->tickInterval(), "rightStep");
}

// Ten minutes at 30 engine-speed readings a second, the engine switched
// between idle (about 800 rpm) and increased idle (about 2500 rpm) every two
// minutes, gas values as from a warm engine.
void tst_TrendMonitor::screenshots()
{
    const QString screens = QStringLiteral(KAVRO_SCREENS_DIR);
    QDir().mkpath(screens);
    window_->show();
    Chart().RedrawNow();
    QVERIFY(panel_->grab().save(screens + u"/chart-before-start.png"_s));
    environment_->now = At(12, 0, 0);
    Start();
    constexpr int Rate = 30;
    for (int i = 0; i <= 10 * 60 * Rate; ++i) {
        const double seconds = double(i) / Rate;
        const bool raised = int(seconds / 120) % 2 == 1;
        const double step = std::fmod(seconds, 120.0);
        const double toward = 1 - std::exp(-step / 3); // the engine settles in a few seconds
        const double load = raised ? toward : 1 - toward;
        const double noise = std::sin(i * 12.9898) * 0.5; // repeatable jitter
        values_[qnEngineSpeed] = 800 + 1700 * load + 25 * noise;
        values_[qnCO] = 0.75 - 0.4 * load + 0.03 * noise;
        values_[qnCH] = 170 - 70 * load + 6 * noise;
        values_[qnCO2] = 14.1 + 0.3 * load + 0.05 * noise;
        values_[qnO2] = 0.55 + 0.2 * load + 0.02 * noise;
        Sample(At(12, 0, 0).addMSecs(qint64(seconds * 1000)));
    }
    Chart().RedrawNow();
    QVERIFY(panel_->grab().save(screens + u"/chart-run.png"_s));
    const QString saved = screens + u"/chart-saved.bmp"_s;
    dialogs_->saveAnswers << saved;
    actions_[u"actSaveGraphics"_s]->trigger();
    QVERIFY(dialogs_->messages.isEmpty());
    QVERIFY(QImage(saved).save(screens + u"/chart-saved-bmp.png"_s));
    QVERIFY(monitor_->MonParamsForm().grab().save(screens + u"/monparamsform.png"_s));
}

QTEST_MAIN(tst_TrendMonitor)
#include "tst_trendmonitor.moc"
