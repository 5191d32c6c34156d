#include "inspection/measurementresults.h"
#include "inspection/vehiclestore.h"
#include "protocol/receiverdata.h"
#include "support/operatorsteps.h"
#include "support/scripteddialogs.h"
#include "ui/archiveform.h"
#include "ui/editcarform.h"
#include "ui/indicator.h"
#include "ui/inspectionarchiving.h"
#include "ui/inspectionwindows.h"
#include "ui/mainform.h"
#include "ui/newmesform.h"
#include "ui/printform.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavro;

namespace {

const QString AddQuestion = u"Добавить информацию об автомобиле в базу данных?"_s;

// N1 with a two-component converter: code 32 + 4 + 8.
test::VehicleEntry NewVehicle()
{
    return { u"А123ВС"_s, u"77"_s, u"ГАЗ-3302"_s, u"Иванов"_s, u"Пётр"_s, u"Ильич"_s, 1, 3, 1 };
}

QStringList EnabledActions(const TMainForm &form)
{
    QStringList names;
    for (QAction *action : form.actions())
        if (action->isEnabled())
            names << action->objectName();
    return names;
}

} // namespace

// "Новый автомобиль" as the operator uses it: the vehicle dialog, the
// category dialog, the register, and what the registration does to the main
// window, the measurement and the report window.
class tst_Registration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void newVehicleAddedAndRegistered();
    void newVehicleNotAddedIsStillRegistered();
    void cancelChangesNothing();
    void nextVehicleResetsTheMeasurementOnly();
    void completedMeasurementsArchived();

private:
    void Register(const test::VehicleEntry &entry, QList<UserDialogs::Button> answers);

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<test::ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    ReceiverData receiverData_;
    std::unique_ptr<TMainForm> form_;
    InspectionWindows *inspection_ = nullptr;
};

void tst_Registration::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void tst_Registration::init()
{
    folder_ = std::make_unique<QTemporaryDir>();
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(folder_->path());
    form_ = std::make_unique<TMainForm>(receiverData_, *dialogs_, *environment_);
    inspection_ = new InspectionWindows(*form_, *dialogs_, *environment_);
    inspection_->CreateVehicleDialog();
    form_->SetNewCarEnabled(true); // as after the instrument's calibration block
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void tst_Registration::cleanup()
{
    form_.reset();
    inspection_ = nullptr;
    environment_.reset();
    dialogs_.reset();
    folder_.reset();
}

void tst_Registration::Register(const test::VehicleEntry &entry, QList<UserDialogs::Button> answers)
{
    dialogs_->answers = answers;
    dialogs_->dialogHandlers << test::EnterVehicle(entry, *dialogs_);
    form_->actNewCar->trigger();
    QVERIFY(dialogs_->dialogHandlers.isEmpty());
}

void tst_Registration::newVehicleAddedAndRegistered()
{
    form_->actPrint->setEnabled(true); // left from a previous vehicle
    Register(NewVehicle(), { UserDialogs::Yes });

    QCOMPARE(dialogs_->modalDialogs, (QStringList { u"TEditCarForm"_s, u"TCategoryForm"_s }));
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0].text, AddQuestion);

    // The main window: views and measurement on, the scales page with the
    // category's limits, the number in the status bar, nothing to print.
    QCOMPARE(form_->ShownPageIndex(), int(TMainForm::pgLevels));
    QCOMPARE(form_->StatusText(TMainForm::spVehicle), u" Регистрационный знак - А123ВС"_s);
    QCOMPARE(EnabledActions(*form_),
        (QStringList { u"actNewCar"_s, u"actNewMesurment"_s, u"actClose"_s, u"actLevels"_s,
            u"actNumbers"_s, u"actGraphics"_s, u"actPump"_s, u"actCalibr"_s, u"actCOMSelect"_s,
            u"actMonitoring"_s, u"actArchive"_s }));
    QCOMPARE(form_->CurrentVehicleCategory(), 44);
    QCOMPARE(form_->GaugeScaleValue(gsLowLimit, qnCO), 0.6);
    QCOMPARE(form_->GaugeScaleValue(gsHighLimit, qnCH), 400.0);
    QCOMPARE(form_->GaugeScaleValue(gsHighLimit, qnEngineSpeed), 2000.0);
    const TIndicator &coGauge = *form_->tsLevels->Gauge(qnCO);
    QVERIFY(coGauge.Shape(0)->isVisible()); // redrawn
    QCOMPARE(coGauge.Label(2)->text(), u"0,6"_s);

    // The report window has the vehicle, the measurement starts afresh.
    const TPrintForm &report = inspection_->ReportWindow();
    QCOMPARE(report.windowTitle(), u"КАВРО-02 - А123ВС"_s);
    QCOMPARE(report.ReportData().Region, 77);
    QCOMPARE(report.ReportData().Mark, u"ГАЗ-3302"_s);
    QCOMPARE(report.ReportData().OwnerSName, u"Ильич"_s);
    QVERIFY(!inspection_->Results().AfterAdjustmentDone);

    // The register holds the new vehicle.
    VehicleStore store(folder_->path());
    QVERIFY(store.Open().Ok());
    const auto found = store.FindFirstByNumber(u"А123ВС"_s);
    QVERIFY(found.Ok() && found.value.has_value());
    QCOMPARE(found.value->CarCategory, 44);
    QCOMPARE(found.value->OwnerTName, u"Иванов"_s);
}

void tst_Registration::newVehicleNotAddedIsStillRegistered()
{
    Register(NewVehicle(), { UserDialogs::No });
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(form_->ShownPageIndex(), int(TMainForm::pgLevels));
    QCOMPARE(form_->RegistrationNumber(), u"А123ВС"_s);
    QCOMPARE(form_->CurrentVehicleCategory(), 44);

    VehicleStore store(folder_->path());
    QVERIFY(store.Open().Ok());
    const auto numbers = store.AllNumbers();
    QVERIFY(numbers.Ok());
    QVERIFY(numbers.value.isEmpty());
}

void tst_Registration::cancelChangesNothing()
{
    const QStringList enabledBefore = EnabledActions(*form_);
    dialogs_->dialogHandlers << [](QDialog &dialog) {
        auto &form = static_cast<TEditCarForm &>(dialog);
        form.show();
        form.cbFederalNumber->setEditText(u"А123ВС"_s);
        QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
        return form.result();
    };
    form_->actNewCar->trigger();
    QCOMPARE(form_->ShownPageIndex(), int(TMainForm::pgEmpty));
    QCOMPARE(EnabledActions(*form_), enabledBefore);
    QCOMPARE(form_->StatusText(TMainForm::spVehicle), QString());
    QCOMPARE(inspection_->ReportWindow().windowTitle(), u"Подготовка к печати"_s);
    QVERIFY(dialogs_->messages.isEmpty());
}

void tst_Registration::nextVehicleResetsTheMeasurementOnly()
{
    Register(NewVehicle(), { UserDialogs::Yes });
    form_->ShowValue(qnCO, 0.5);
    form_->actNewMesurment->trigger();
    TNewMesForm &measurement = inspection_->MeasurementDialog();
    QVERIFY(measurement.isVisible());
    QTest::mouseClick(measurement.Button1, Qt::LeftButton);
    QTest::mouseClick(measurement.Button1, Qt::LeftButton);
    QVERIFY(form_->actPrint->isEnabled());
    QVERIFY(inspection_->Results().AfterAdjustmentDone);

    // A vehicle made before 01.10.1986, kept out of the register.
    test::VehicleEntry older { u"В777ОР"_s, u"50"_s, u"ЗИЛ-130"_s, u"Петров"_s, {}, {}, 0, 0, 0 };
    Register(older, { UserDialogs::No });
    QCOMPARE(form_->CurrentVehicleCategory(), 0);
    QCOMPARE(form_->GaugeScaleValue(gsLowLimit, qnCO), 4.5);
    QVERIFY(!form_->actPrint->isEnabled());
    QVERIFY(!inspection_->Results().AfterAdjustmentDone);
    QCOMPARE(inspection_->Results().Readings[AfterAdjustment][MinimumIdle][qnCO], 0.5);
    QCOMPARE(form_->StatusText(TMainForm::spVehicle), u" Регистрационный знак - В777ОР"_s);
}

void tst_Registration::completedMeasurementsArchived()
{
    QStringList fileMenu;
    for (const QAction *action : form_->mnuFile->actions())
        fileMenu << action->objectName();
    QCOMPARE(fileMenu,
        QStringList({ u"actNewCar"_s, u"actNewMesurment"_s, u"actPrint"_s, u"actArchive"_s,
            u"actClose"_s }));
    const auto measure = [&](double co) {
        form_->ShowValue(qnCO, co);
        form_->actNewMesurment->trigger();
        TNewMesForm &measurement = inspection_->MeasurementDialog();
        QTest::mouseClick(measurement.Button1, Qt::LeftButton);
        QTest::mouseClick(measurement.Button1, Qt::LeftButton);
        return measurement.Label9->text();
    };
    // An N1 with two-component after-treatment (CO at most 0,60 % at minimum idle).
    Register(NewVehicle(), { UserDialogs::Yes });
    QVERIFY(measure(0.8).startsWith(u"Не соответствует: CO на минимальных оборотах"_s));
    QVERIFY(measure(0.5).startsWith(u"Соответствует"_s));
    test::VehicleEntry older { u"В777ОР"_s, u"50"_s, u"ЗИЛ-130"_s, u"Петров"_s, {}, {}, 0, 0, 0 };
    Register(older, { UserDialogs::No });
    measure(0.5);
    QStringList messages;
    for (const test::ScriptedDialogs::Shown &shown : dialogs_->messages)
        messages << shown.text;
    QCOMPARE(messages, QStringList({ AddQuestion, AddQuestion })); // nothing from the archive

    // In the register's own database: one inspection per registration.
    QList<InspectionListEntry> listed;
    dialogs_->dialogHandlers << [&](QDialog &dialog) {
        auto &archive = static_cast<TArchiveForm &>(dialog);
        archive.show();
        for (int row = 0; row < archive.Model().rowCount(); ++row)
            listed << archive.Model().EntryAt(row);
        return int(QDialog::Rejected);
    };
    inspection_->Archiving().actArchive->trigger();
    QCOMPARE(listed.size(), 2);
    QCOMPARE(listed[0].federalNumber, u"В777ОР"_s);
    QCOMPARE(listed[1].federalNumber, u"А123ВС"_s);
    QCOMPARE(listed[1].categoryCode, 44);
    QCOMPARE(listed[1].verdictText, u"соответствует"_s);
    QCOMPARE(dialogs_->modalDialogs.constLast(), u"TArchiveForm"_s);
}

QTEST_MAIN(tst_Registration)
#include "tst_registration.moc"
