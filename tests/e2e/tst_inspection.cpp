// A complete inspection as an operator makes it, in one process with the
// real windows (offscreen): the first start without settings, the
// connection to an instrument played on a pseudo-terminal, a new vehicle in
// a fresh register, the measurement before and after adjustment, the printed
// report, a while of monitoring with the chart saved as a picture, and the
// end when the instrument falls silent. Every message box on the way is
// checked, in order.

#include "app/programhost.h"
#include "app/programstart.h"
#include "calibrationblock.h"
#include "compute/calibration.h"
#include "compute/readingdispatch.h"
#include "inspection/inspectionarchive.h"
#include "inspection/vehiclestore.h"
#include "programconversions.h"
#include "protocol/instrumentcodes.h"
#include "readingencoder.h"
#include "support/operatorsteps.h"
#include "support/ptyinstrument.h"
#include "support/scripteddialogs.h"
#include "support/testfiles.h"
#include "ui/archiveform.h"
#include "ui/inspectionarchiving.h"
#include "ui/inspectionwindows.h"
#include "ui/mainform.h"
#include "ui/monparamsform.h"
#include "ui/newmesform.h"
#include "ui/printform.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QtEndian>

#include <functional>

using namespace Qt::StringLiterals;
using namespace kavro;
using kavro::test::ScriptedDialogs;

namespace {

namespace code = InstrumentCode;
constexpr int FramePeriodMs = 40; // 32 bytes: 800 bytes/s, below the line rate
constexpr int CompensationRaw = 2440; // leaves the gas values uncompensated
constexpr int UnconvertedRaw = 1900;
constexpr int CountdownStart = 5;
constexpr char BlockCompletion = 0x5A; // the byte after the block only completes it
// The sensors' readings with clean air, captured after the zero setting.
constexpr int CoSensorZero = 372;
constexpr int ChSensorZero = 458;

const QString Title = u"КАВРО-02"_s;
const UserDialogs::Buttons YesNo = UserDialogs::Yes | UserDialogs::No;

QDateTime At(int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2026, 12, 8), QTime(hour, minute, second));
}

QByteArray Byte(quint8 code)
{
    return QByteArray(1, char(code));
}

QByteArray Word(int value)
{
    QByteArray word;
    word.append(char(value & 0xFF)); // low byte first
    word.append(char(value >> 8));
    return word;
}

// The values the instrument is to show, by quantity, λ left out (the
// program computes it from the gases).
struct Engine
{
    double co; // %
    double ch; // ppm
    double co2; // %
    double o2; // %
    double rpm;
    double temperature; // °C
};

// A serviced instrument's calibration (the simulator's), with the engine
// speed trim at unity, so that whole hundreds of rpm can be sent.
TInstrumentImage InstrumentCalibration()
{
    TInstrumentImage image = sim::CalibrationBlock::Serviced().Image();
    Calibration calibration = ReadCalibration(image);
    calibration.RpmTrim = 128;
    WriteCalibration(calibration, image);
    return image;
}

QByteArray CalibrationBlockBytes(const TInstrumentImage &image)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()) + 128, 64);
}

void AppendReading(QByteArray &out, int channel, int raw)
{
    out.append(char(code::FirstChannelSelectLow + channel));
    out.append(char(0x20 | ((raw >> 8) & 0x0F)));
    out.append(char(0x10 | ((raw >> 4) & 0x0F)));
    out.append(char(raw & 0x0F));
}

// The instrument's raw readings: the program's own conversions searched in
// reverse under the calibration and zero readings the instrument sends.
class ReadingMaker
{
public:
    ReadingMaker()
        : image_(InstrumentCalibration())
        , encoder_(sim::ProgramConversions(image_))
    {
        zeros_[1] = CoSensorZero;
        zeros_[3] = ChSensorZero;
        receiver_.InstrumentImage = image_;
        receiver_.BlockReceived = true;
        receiver_.ZeroReadings = zeros_;
    }

    const TInstrumentImage &Image() const { return image_; }

    // One reading of each channel 0 to 7; empty when a value cannot be
    // reached exactly.
    QByteArray Frame(const Engine &engine)
    {
        const std::pair<int, double> wanted[] = { { 0, engine.co2 }, { 1, engine.co },
            { 2, engine.o2 }, { 3, engine.ch }, { 6, engine.rpm }, { 7, engine.temperature } };
        TRawReadings raw {};
        raw[4] = CompensationRaw;
        raw[5] = UnconvertedRaw;
        for (const auto &[channel, value] : wanted) {
            raw[std::size_t(channel)] = encoder_.Encode(channel, value, zeros_, CompensationRaw);
            if (ConvertReading(receiver_, raw, channel)->Value != value)
                return {};
        }
        QByteArray frame;
        for (int channel = 0; channel < 8; ++channel)
            AppendReading(frame, channel, raw[std::size_t(channel)]);
        return frame;
    }

    // The readings of the sensors with clean air (zero readings).
    static QByteArray ZeroFrame()
    {
        QByteArray frame;
        const int raws[]
            = { 12, CoSensorZero, 3, ChSensorZero, CompensationRaw, UnconvertedRaw, 0, 3600 };
        for (int channel = 0; channel < 8; ++channel)
            AppendReading(frame, channel, raws[channel]);
        return frame;
    }

private:
    TInstrumentImage image_;
    sim::ReadingEncoder encoder_;
    sim::ZeroLevels zeros_ {};
    ReceiverData receiver_;
};

// The shown values the engine gives, λ computed as the program does.
QList<double> ShownFor(const Engine &engine)
{
    return { engine.co, engine.ch, engine.co2, engine.o2,
        LambdaFromGases(engine.co, engine.co2, engine.o2, engine.ch), engine.rpm,
        engine.temperature };
}

// An N1 with a two-component converter (limits CO 0,6 / 1,0 %, CH 200 /
// 400 ppm, engine speed 1100 / 2000 rpm), before and after adjustment, at
// minimum and increased idle, with the texts of the measurement dialog's
// fields CH, CO, CO2, O2, λ and engine speed. λ by the Brettschneider
// equation: 1,00 / 0,99 before and 1,00 / 1,01 after adjustment.
struct Step
{
    Engine engine;
    QStringList fields;
};
const Step BeforeMinimum { { 1.20, 300, 13.8, 1.0, 800, 85 },
    { u" 300"_s, u"1,20"_s, u"13,8"_s, u" 1,00"_s, u"1,00"_s, u" 800"_s } };
const Step BeforeIncreased { { 0.80, 240, 14.2, 0.5, 2500, 85 },
    { u" 240"_s, u"0,80"_s, u"14,2"_s, u" 0,50"_s, u"0,99"_s, u"2500"_s } };
const Step AfterMinimum { { 0.45, 150, 14.5, 0.5, 800, 88 },
    { u" 150"_s, u"0,45"_s, u"14,5"_s, u" 0,50"_s, u"1,00"_s, u" 800"_s } };
const Step AfterIncreased { { 0.30, 120, 14.6, 0.5, 2500, 88 },
    { u" 120"_s, u"0,30"_s, u"14,6"_s, u" 0,50"_s, u"1,01"_s, u"2500"_s } };

// Whether `wanted` occur in `lines` in this order (other lines between).
bool InOrder(const QStringList &lines, const QStringList &wanted)
{
    qsizetype next = 0;
    for (const QString &line : lines)
        if (next < wanted.size() && line == wanted[next])
            ++next;
    return next == wanted.size();
}

void SaveScreen(QWidget &widget, const QString &name)
{
    widget.grab().save(QStringLiteral(KAVRO_SCREENS_DIR "/") + name + u".png"_s);
}

} // namespace

class tst_Inspection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void completeInspection();
    void cleanupTestCase();

private:
    // The steps of the inspection, each on from where the last one left.
    void StartAndConnect();
    void RegisterVehicle();
    void Measure(AdjustmentKind kind, const Step &minimum, const Step &increased,
        const QDateTime &completedAt, const QString &verdictLine);
    void PrintReport();
    void FindInArchive();
    void MonitorAndSaveChart();
    void FallSilent();

    // The instrument's live readings, one frame every FramePeriodMs; each
    // frame moves the program's clock on by clockStepMs.
    void SendFrames(const Engine &engine);
    void StopFrames() { frameTimer_.stop(); }
    void SendFrame();
    bool Showing(const Engine &engine) const;
    QStringList MeasurementFields() const;

    TMainForm &MainForm() const { return *program_->MainForm(); }
    ReceiverData &Data() const { return program_->Receiver(); }
    TNewMesForm &MeasurementDialog() const { return program_->Inspection()->MeasurementDialog(); }

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<test::PtyInstrument> instrument_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    std::unique_ptr<test::FakeEnvironment> environment_;
    std::unique_ptr<ProgramStart> program_;
    ReadingMaker readings_;
    QTimer frameTimer_;
    QByteArray frame_;
    qint64 clockStepMs_ = 0;
    QElapsedTimer elapsed_;
};

void tst_Inspection::initTestCase()
{
    elapsed_.start();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QDir().mkpath(QStringLiteral(KAVRO_SCREENS_DIR));
    QVERIFY2(!QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(),
        "poppler-utils is not installed");
    connect(&frameTimer_, &QTimer::timeout, this, &tst_Inspection::SendFrame);
}

void tst_Inspection::cleanupTestCase()
{
    program_.reset();
    qInfo("the inspection took %.1f s", double(elapsed_.elapsed()) / 1000);
}

void tst_Inspection::SendFrames(const Engine &engine)
{
    frame_ = readings_.Frame(engine);
    QVERIFY2(!frame_.isEmpty(), "a wanted value cannot be sent exactly");
    if (!frameTimer_.isActive())
        frameTimer_.start(FramePeriodMs);
}

void tst_Inspection::SendFrame()
{
    instrument_->Send(frame_);
    environment_->now = environment_->now.addMSecs(clockStepMs_);
}

bool tst_Inspection::Showing(const Engine &engine) const
{
    const QList<double> wanted = ShownFor(engine);
    for (int quantity = 0; quantity < QuantityCount; ++quantity)
        if (MainForm().CurrentValue(quantity) != wanted[quantity])
            return false;
    return true;
}

QStringList tst_Inspection::MeasurementFields() const
{
    const TNewMesForm &dialog = MeasurementDialog();
    QStringList texts;
    for (const QLineEdit *field :
        { dialog.Edit1, dialog.Edit2, dialog.Edit3, dialog.Edit4, dialog.Edit5, dialog.Edit6 })
        texts << field->text();
    return texts;
}

// First start: no settings file, so the port dialog comes (COM1 chosen);
// the instrument streams readings, is asked for its zero setting, counts
// down under the service window, sends its calibration block and zero
// readings, and goes on with live readings.
void tst_Inspection::StartAndConnect()
{
    folder_ = std::make_unique<QTemporaryDir>();
    instrument_ = std::make_unique<test::PtyInstrument>();
    QVERIFY(folder_->isValid() && instrument_->IsOpen());
    const QString ini = folder_->filePath(u"KAVRO02.ini"_s);
    QVERIFY(QFile::copy(u":/template.rtf"_s, folder_->filePath(u"template.rtf"_s)));
    QVERIFY(!QFile::exists(ini));

    dialogs_ = std::make_unique<ScriptedDialogs>();
    environment_ = std::make_unique<test::FakeEnvironment>(folder_->path());
    environment_->now = At(10, 0);
    dialogs_->portAnswers = { 0 };
    dialogs_->onPortChoice = [&](int) {
        // The operator's COM1 is this pseudo-terminal; the index is the program's to write.
        QSettings(ini, QSettings::IniFormat).setValue(u"Ports/COM1"_s, instrument_->SlavePath());
    };
    program_ = std::make_unique<ProgramStart>(*environment_, *dialogs_);

    // Live readings from the start; asked for a zero setting the instrument
    // answers 210 and counts down 5 ... 1, one word each 30 ms.
    SendFrames(AfterMinimum.engine);
    instrument_->onCommand = [this](quint8 command) {
        if (command != code::StartZeroSetting)
            return;
        StopFrames();
        instrument_->Send(Byte(code::StartZeroSetting));
        for (int word = CountdownStart; word >= 1; --word)
            QTimer::singleShot((CountdownStart - word) * 30, this,
                [this, word] { instrument_->Send(Word(word)); });
    };
    // The splash gives way to the zero setting window: the start goes on.
    QVERIFY(program_->Run());
    QCOMPARE(dialogs_->portChoicesShownWith, QList<int> { 0 });
    QCOMPARE(QSettings(ini, QSettings::IniFormat).value(u"COM"_s), QVariant(0));
    QVERIFY(!program_->Host()->SplashExists());
    QVERIFY(MainForm().isVisible());
    QVERIFY(MainForm().ServiceWindow() && MainForm().ServiceWindow()->isVisible());
    QVERIFY(!MainForm().actNewCar->isEnabled());
    QVERIFY(!MainForm().Timer1->isActive());
    QTRY_VERIFY(Data().CountdownValue == 1 && Data().CountdownLowNext);
    QCOMPARE(Data().ReceiverState, rsCountdown);
    SaveScreen(*MainForm().ServiceWindow(), u"e2e-zero-setting"_s);

    // The word 0 ends the zero setting: the program asks for the block.
    instrument_->onCommand = [this](quint8 command) {
        if (command == code::PumpSwitch)
            instrument_->Send(Byte(code::PumpSwitch)); // "pump switched over"
    };
    instrument_->Send(Word(0));
    QTRY_COMPARE(
        instrument_->received, Byte(code::StartZeroSetting) + Byte(code::CalibrationBlock));
    QVERIFY(!MainForm().ServiceWindow());
    QVERIFY(MainForm().actNewCar->isEnabled());
    QVERIFY(Data().ZeroCapture);

    // Zero readings, the block, more zero readings, then operating mode 128
    // and live readings.
    const QByteArray zeroReadings = Byte(code::ModeZeroCapture) + ReadingMaker::ZeroFrame();
    instrument_->Send(zeroReadings + Byte(code::CalibrationBlock)
        + CalibrationBlockBytes(readings_.Image()) + BlockCompletion + zeroReadings
        + Byte(code::ModeEndZeroCapture));
    QTRY_VERIFY(Data().BlockReceived && !Data().ZeroCapture);
    QCOMPARE(Data().ReceiverState, rsStreaming);
    QCOMPARE(Data().ZeroReadings[1], CoSensorZero);
    QCOMPARE(Data().ZeroReadings[3], ChSensorZero);
    QCOMPARE(
        CalibrationBlockBytes(Data().InstrumentImage), CalibrationBlockBytes(readings_.Image()));
    QVERIFY(MainForm().Timer1->isActive());
    SendFrames(BeforeMinimum.engine);
    QTRY_VERIFY(MainForm().RawReading(6) != 0);
}

// "Новый автомобиль": an N1 with a two-component converter, added to the
// fresh register.
void tst_Inspection::RegisterVehicle()
{
    environment_->now = At(10, 2);
    dialogs_->answers = { UserDialogs::Yes };
    dialogs_->dialogHandlers << test::EnterVehicle(
        { u"А123ВС"_s, u"77"_s, u"ГАЗ-3302"_s, u"Иванов"_s, u"Пётр"_s, u"Ильич"_s, 1, 3, 1 },
        *dialogs_);
    MainForm().actNewCar->trigger();
    QVERIFY(dialogs_->dialogHandlers.isEmpty());
    QCOMPARE(dialogs_->modalDialogs, (QStringList { u"TEditCarForm"_s, u"TCategoryForm"_s }));

    QCOMPARE(MainForm().ShownPageIndex(), int(TMainForm::pgLevels));
    QCOMPARE(MainForm().CurrentVehicleCategory(), 32 + 4 + 8);
    QCOMPARE(MainForm().StatusText(TMainForm::spVehicle), u" Регистрационный знак - А123ВС"_s);
    QVERIFY(MainForm().actNewMesurment->isEnabled());
    QVERIFY(!MainForm().actPrint->isEnabled());

    VehicleStore store(folder_->path());
    QVERIFY(QFile::exists(folder_->filePath(u"Cars.mdb"_s)));
    QVERIFY(store.Open().Ok());
    const auto found = store.FindFirstByNumber(u"А123ВС"_s);
    QVERIFY(found.Ok() && found.value.has_value());
    QCOMPARE(found.value->Region, u"77"_s);
    QCOMPARE(found.value->Mark, u"ГАЗ-3302"_s);
    QCOMPARE(found.value->OwnerTName, u"Иванов"_s);
    QCOMPARE(found.value->CarCategory, 44);

    QTRY_VERIFY(Showing(BeforeMinimum.engine));
    SaveScreen(MainForm(), u"e2e-levels"_s);
}

// "Новое измерение": both steps, the kind chosen at the first; each step
// stores the values shown once the instrument's readings are in.
void tst_Inspection::Measure(AdjustmentKind kind, const Step &minimum, const Step &increased,
    const QDateTime &completedAt, const QString &verdictLine)
{
    const bool pumpWasOn = MainForm().PumpRunning();
    MainForm().actNewMesurment->trigger();
    TNewMesForm &dialog = MeasurementDialog();
    QVERIFY(dialog.isVisible());
    QTRY_VERIFY(MainForm().PumpRunning()); // switched on, confirmed by the instrument
    QCOMPARE(instrument_->received.count(char(code::PumpSwitch)), 1);
    if (!pumpWasOn)
        QVERIFY(!MainForm().actPump->isEnabled());
    QVERIFY(!MainForm().actNewCar->isEnabled() && !MainForm().actPrint->isEnabled());

    QRadioButton *choice = kind == BeforeAdjustment ? dialog.RadioButton1 : dialog.RadioButton2;
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(6, choice->height() / 2));
    QVERIFY(choice->isChecked());
    QCOMPARE(dialog.Panel1->text(), u"Измерение на минимальных оборотах"_s);
    QCOMPARE(dialog.Label2->text(),
        u"Установите частоту вращения коленчатого вала двигателя в пределах 100-1100 об/мин."_s);
    SendFrames(minimum.engine);
    QTRY_VERIFY(Showing(minimum.engine));
    QTRY_COMPARE(MeasurementFields(), minimum.fields);
    SaveScreen(dialog,
        kind == BeforeAdjustment ? u"e2e-measurement-before"_s : u"e2e-measurement-after"_s);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);

    QCOMPARE(dialog.Panel1->text(), u"Измерение на максимальных оборотах"_s);
    QCOMPARE(dialog.Label2->text(),
        u"Установите частоту вращения коленчатого вала двигателя в пределах 2000-9999 об/мин."_s);
    QVERIFY(!dialog.RadioButton1->isEnabled() && !dialog.RadioButton2->isEnabled());
    SendFrames(increased.engine);
    QTRY_VERIFY(Showing(increased.engine));
    QTRY_COMPARE(MeasurementFields(), increased.fields);
    environment_->now = completedAt;
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    // A result after adjustment is judged; the dialog's last line says how.
    QCOMPARE(dialog.Label9->isVisibleTo(&dialog), !verdictLine.isEmpty());
    if (!verdictLine.isEmpty())
        QCOMPARE(dialog.Label9->text(), verdictLine);
    QVERIFY(MainForm().actNewCar->isEnabled() && MainForm().actPump->isEnabled());

    const MeasurementResults &results = program_->Inspection()->Results();
    for (int quantity = 0; quantity < QuantityCount; ++quantity) {
        QCOMPARE(results.Readings[kind][MinimumIdle][quantity], ShownFor(minimum.engine)[quantity]);
        QCOMPARE(
            results.Readings[kind][IncreasedIdle][quantity], ShownFor(increased.engine)[quantity]);
    }
    QCOMPARE(MainForm().actPrint->isEnabled(), results.AfterAdjustmentDone);
}

// "Печать": the report window filled from the template beside the
// program, printed into a PDF.
void tst_Inspection::PrintReport()
{
    environment_->now = At(10, 20);
    const QString pdf = folder_->filePath(u"report.pdf"_s);
    bool printable = false;
    dialogs_->printerHandlers << [&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    dialogs_->dialogHandlers << [&printable](QDialog &dialog) {
        auto &report = static_cast<TPrintForm &>(dialog);
        report.show();
        printable = report.Button1->isEnabled();
        SaveScreen(report, u"e2e-report"_s);
        QTest::mouseClick(report.Button1, Qt::LeftButton);
        report.hide();
        return report.result();
    };
    MainForm().actPrint->trigger();
    QVERIFY(printable);
    QVERIFY(dialogs_->dialogHandlers.isEmpty() && dialogs_->printerHandlers.isEmpty());
    QCOMPARE(dialogs_->modalDialogs.last(), u"TPrintForm"_s);

    const QStringList lines = test::PdfLines(pdf);
    const QStringList expected = {
        u"Дата измерений: 08.12.2026 10:20:00"_s,
        u"Модель автомобиля: ГАЗ-3302"_s,
        u"Регистрационный знак: А123ВС77"_s,
        u"Владелец: Иванов Пётр Ильич"_s,
        u"Комплектация автомобиля:"_s,
        u"- категория N1"_s,
        u"- система нейтрализации двухкомпонентная"_s,
        u"- произведен после 01.10.1986"_s,
        u"Содержание вредных выбросов в отработавших газах"_s,
        u"До регулировки 1,20 % 0,80 % 300 ppm 240 ppm 0,99"_s,
        u"После регулировки 0,45 % 0,30 % 150 ppm 120 ppm 1,01"_s,
        u"По норме 0,60 % 1,00 % 200 ppm 400 ppm 0.97-1.03"_s,
    };
    QVERIFY2(InOrder(lines, expected), qPrintable(lines.join(u'\n')));
    QVERIFY2(lines.filter(u"#"_s).isEmpty(), qPrintable(lines.join(u'\n')));
    test::ProgramOutput(u"pdftoppm"_s,
        { u"-r"_s, u"80"_s, u"-png"_s, u"-singlefile"_s, pdf,
            QStringLiteral(KAVRO_SCREENS_DIR "/e2e-report-printed") });
}

// "Архив проверок": the inspection is kept as it was completed, with its
// verdict, and the archive window lists it.
void tst_Inspection::FindInArchive()
{
    InspectionArchive archive(folder_->path());
    QVERIFY(archive.Open(false).Ok());
    const auto listed = archive.List({}, std::nullopt, 10);
    QVERIFY(listed.Ok());
    QCOMPARE(listed.value.size(), 1);
    const auto loaded = archive.Load(listed.value[0].ID);
    QVERIFY(loaded.Ok() && loaded.value.has_value());
    const InspectionRecord &record = *loaded.value;
    QCOMPARE(record.inspectedAt, At(10, 12));
    QCOMPARE(record.vehicle.FederalNumber, u"А123ВС"_s);
    QCOMPARE(record.vehicle.Region, 77);
    QCOMPARE(record.categoryCode, 44);
    QVERIFY(record.results.BeforeAdjustmentDone && record.results.AfterAdjustmentDone);
    const Step *steps[2][2]
        = { { &BeforeMinimum, &BeforeIncreased }, { &AfterMinimum, &AfterIncreased } };
    for (int kind : { BeforeAdjustment, AfterAdjustment })
        for (int phase : { MinimumIdle, IncreasedIdle })
            for (int quantity = 0; quantity < QuantityCount; ++quantity)
                QCOMPARE(record.results.Readings[kind][phase][quantity],
                    ShownFor(steps[kind][phase == MinimumIdle ? 0 : 1]->engine)[quantity]);
    QVERIFY(record.verdict.passed);
    QCOMPARE(record.verdict.text, u"соответствует"_s);
    QCOMPARE(record.verdict.reasons, QStringList());
    QCOMPARE(record.templateRtf.size(), QFile(folder_->filePath(u"template.rtf"_s)).size());
    archive.Close();

    QString status;
    QStringList cells;
    dialogs_->dialogHandlers << [&](QDialog &dialog) {
        auto &window = static_cast<TArchiveForm &>(dialog);
        window.show();
        status = window.Label3->text();
        for (int column = 0; column < InspectionListModel::ColumnCount; ++column)
            cells << window.Model().index(0, column).data().toString();
        SaveScreen(window, u"e2e-archive"_s);
        QTest::mouseClick(window.Button2, Qt::LeftButton);
        return window.result();
    };
    program_->Inspection()->Archiving().actArchive->trigger();
    QCOMPARE(dialogs_->modalDialogs.last(), u"TArchiveForm"_s);
    QCOMPARE(status, u"Найдено проверок: 1"_s);
    QCOMPARE(cells,
        (QStringList { u"08.12.2026 10:12:00"_s, u"А123ВС"_s, u"77"_s, u"ГАЗ-3302"_s,
            u"Иванов Пётр Ильич"_s, u"N1"_s, u"соответствует"_s }));
}

// "Режим слежения" for a minute-wide span while the engine speeds up and
// slows down again; each frame is a second of the program's clock. A
// question to clear the chart answered "No" keeps the points; the chart is
// then saved as a bitmap under the proposed name.
void tst_Inspection::MonitorAndSaveChart()
{
    const QDateTime start = At(10, 30);
    environment_->now = start;
    dialogs_->dialogHandlers << [](QDialog &dialog) {
        auto &parameters = static_cast<TMonParamsForm &>(dialog);
        parameters.show();
        parameters.DateTimePicker1->setTime(QTime(0, 1, 0));
        QTest::mouseClick(parameters.Button1, Qt::LeftButton);
        parameters.hide();
        return parameters.result();
    };
    MainForm().actMonitoring->trigger();
    QCOMPARE(dialogs_->modalDialogs.last(), u"TMonParamsForm"_s);
    QCOMPARE(MainForm().ShownPageIndex(), int(TMainForm::pgGraphics));
    QCOMPARE(MainForm().StatusText(TMainForm::spMonitoring), u" Режим слежения включен"_s);
    const TTrendChart &chart = *MainForm().Chart1;
    QCOMPARE(chart.TimeAxisMinimum(), start.toMSecsSinceEpoch());
    QCOMPARE(chart.TimeAxisMaximum(), start.addSecs(60).toMSecsSinceEpoch());

    clockStepMs_ = 1000;
    const TrendSeriesStore &points = chart.Points();
    for (const Step *step : { &AfterIncreased, &AfterMinimum, &BeforeIncreased, &AfterMinimum }) {
        const qsizetype before = points.Size();
        SendFrames(step->engine);
        QTRY_VERIFY_WITH_TIMEOUT(points.Size() >= before + 30, 20000);
    }
    clockStepMs_ = 0;
    QTRY_VERIFY(Showing(AfterMinimum.engine));

    dialogs_->answers = { UserDialogs::No };
    MainForm().actClear->trigger();
    const qsizetype samples = points.Size();
    QVERIFY(samples >= 120);
    // More than a span has passed: the axis ends at the newest point.
    const qint64 newest = points.Time(samples - 1);
    QVERIFY(newest >= start.addSecs(90).toMSecsSinceEpoch());
    QCOMPARE(chart.TimeAxisMaximum(), newest);
    QCOMPARE(chart.TimeAxisMinimum(), newest - 60'000);
    const Engine &last = AfterMinimum.engine;
    const QList<double> lastValues = { last.co, last.ch, last.co2, last.o2, last.rpm };
    for (int line = 0; line < TTrendChart::LineCount; ++line)
        QCOMPARE(points.Value(line, samples - 1), lastValues[line]);

    const QString pictures = folder_->filePath(u"Графики"_s);
    const QString picture = pictures + u"/А123ВС.bmp"_s;
    dialogs_->saveAnswers << picture;
    MainForm().actSaveGraphics->trigger();
    QCOMPARE(dialogs_->saveRequests.size(), 1);
    QCOMPARE(dialogs_->saveRequests[0].folder, pictures);
    QCOMPARE(dialogs_->saveRequests[0].proposedName, u"А123ВС.bmp"_s);
    QFile file(picture);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray header = file.read(26); // file header, then the size in the info header
    QCOMPARE(header.left(2), QByteArray("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(header.constData() + 18), chart.width());
    QCOMPARE(std::abs(qFromLittleEndian<qint32>(header.constData() + 22)), chart.height());
    const QImage saved(picture, "BMP");
    QCOMPARE(saved.size(), chart.size());
    saved.save(QStringLiteral(KAVRO_SCREENS_DIR "/e2e-chart.png"));
}

// The instrument is switched off: two seconds later the program reports
// the lost connection and ends.
void tst_Inspection::FallSilent()
{
    StopFrames();
    QElapsedTimer silence;
    silence.start();
    QTRY_COMPARE_WITH_TIMEOUT(environment_->endCalls, 1, 10000);
    QVERIFY2(silence.elapsed() >= 1500 && silence.elapsed() <= 8000,
        qPrintable(u"ended after %1 ms"_s.arg(silence.elapsed())));
    QCOMPARE(environment_->exitCode, 0);
    QVERIFY(!MainForm().Timer1->isActive());
}

void tst_Inspection::completeInspection()
{
    // Each step goes on from where the last one left; a failed step ends the run.
    const std::function<void()> steps[] = {
        [this] { StartAndConnect(); },
        [this] { RegisterVehicle(); },
        [this] { Measure(BeforeAdjustment, BeforeMinimum, BeforeIncreased, At(10, 6), {}); },
        [this] {
            Measure(AfterAdjustment, AfterMinimum, AfterIncreased, At(10, 12), u"Соответствует"_s);
        },
        [this] { PrintReport(); },
        [this] { FindInArchive(); },
        [this] { MonitorAndSaveChart(); },
        [this] { FallSilent(); },
    };
    for (const auto &step : steps) {
        step();
        if (QTest::currentTestFailed())
            return;
    }

    // Every message box of the inspection, in order.
    QStringList boxes;
    for (const ScriptedDialogs::Shown &shown : dialogs_->messages)
        boxes << u"%1: %2 (icon %3, buttons %4)"_s.arg(shown.title, shown.text)
                     .arg(int(shown.icon))
                     .arg(int(shown.buttons));
    const auto box = [](const QString &title, const QString &text, UserDialogs::Icon icon,
                         UserDialogs::Buttons buttons) {
        return u"%1: %2 (icon %3, buttons %4)"_s.arg(title, text).arg(int(icon)).arg(int(buttons));
    };
    QCOMPARE(boxes,
        (QStringList {
            box(Title, u"Добавить информацию об автомобиле в базу данных?"_s,
                UserDialogs::Icon::Question, YesNo),
            box(u"Режим слежения"_s, u"Вы действительно хотите очистить область построения?"_s,
                UserDialogs::Icon::Question, YesNo),
            box(Title,
                u"Потеряно соединение с прибором.\rВключите прибор и запустите приложение еще раз"_s,
                UserDialogs::Icon::Error, UserDialogs::Ok),
        }));
    // The program's commands: zero setting, calibration block, pump on.
    QCOMPARE(instrument_->received,
        Byte(code::StartZeroSetting) + Byte(code::CalibrationBlock) + Byte(code::PumpSwitch));
    QCOMPARE(dialogs_->modalDialogs,
        (QStringList { u"TEditCarForm"_s, u"TCategoryForm"_s, u"TPrintForm"_s, u"TArchiveForm"_s,
            u"TMonParamsForm"_s }));
}

QTEST_MAIN(tst_Inspection)
#include "tst_inspection.moc"
