#include "compute/quantities.h"
#include "support/scripteddialogs.h"
#include "support/widgetdump.h"
#include "ui/indicator.h"
#include "ui/levelspage.h"
#include "ui/mainform.h"
#include "ui/numberspage.h"

#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

// M1 made after 01.10.1986 with a three-component converter.
constexpr int ThreeComponentM1 = 48;

// A warm engine at minimum idle behind a three-component converter.
void ShowIdleReadings(TMainForm &form)
{
    form.ShowValue(qnCO, 0.25);
    form.ShowValue(qnCH, 45);
    form.ShowValue(qnCO2, 14.6);
    form.ShowValue(qnO2, 0.4);
    form.ShowValue(qnLambda, 1.01);
    form.ShowValue(qnEngineSpeed, 820);
    form.ShowValue(qnTemperature, 85.3);
}

} // namespace

class tst_ReadingsDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void screenshots();

private:
    // Registers a vehicle of code as the registration does and shows the
    // window at its design size.
    void ShowRegistered(int code);

    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<ReceiverData> receiverData_;
    std::unique_ptr<TMainForm> form_;
};

void tst_ReadingsDisplay::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
}

void tst_ReadingsDisplay::init()
{
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(QDir::tempPath());
    receiverData_ = std::make_unique<ReceiverData>();
    form_ = std::make_unique<TMainForm>(*receiverData_, *dialogs_, *environment_);
}

void tst_ReadingsDisplay::cleanup()
{
    form_.reset();
}

void tst_ReadingsDisplay::ShowRegistered(int code)
{
    TMainForm &form = *form_;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.ApplyVehicleCategory(code);
    form.RedrawGauges();
    form.VehicleRegistered(u"А123ВС77"_s);
}

void tst_ReadingsDisplay::screenshots()
{
    ShowRegistered(ThreeComponentM1);
    TMainForm &form = *form_;
    ShowIdleReadings(form);
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-levels.png")));
    form.actNumbers->trigger();
    QVERIFY(form.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/mainform-numbers.png")));
}

QTEST_MAIN(tst_ReadingsDisplay)
#include "tst_readingsdisplay.moc"
