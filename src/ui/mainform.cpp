#include "ui/mainform.h"

#include "compute/conversions.h"
#include "compute/numberformat.h"
#include "device/commportdriver.h"
#include "inspection/vehiclecategory.h"
#include "platform/appenvironment.h"
#include "platform/programname.h"
#include "platform/userdialogs.h"
#include "protocol/instrumentcodes.h"
#include "protocol/receiverdata.h"
#include "ui/actionimages.h"
#include "ui/shortcuthintmenu.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {

constexpr QSize FormSize(800, 565);
constexpr QSize FormMinimumSize(800, 560);
constexpr QSize ToolButtonSize(25, 25);
constexpr QSize ToolIconSize(18, 18);
constexpr int WatchdogInterval = 2000; // ms
constexpr std::array<int, 3> StatusPanelWidths { 300, 160, 50 };
constexpr int StatusPixelSize = 11;
constexpr QMargins PanelMargins(9, 6, 9, 8);
constexpr int TitleGap = 6; // between the title lines and the pages
const QColor Silver(192, 192, 192);

constexpr int imgPumpStopped = 16;
constexpr int imgPumpRunning = 18;

struct ActionDefinition
{
    QAction *TMainForm::*member;
    QString name;
    QString category;
    QString caption;
    QString hint;
    QKeySequence shortcut;
    int image; // position in the image list, -1 for none
    bool enabled;
};

} // namespace

TMainForm::TMainForm(
    ReceiverData &receiverData, UserDialogs &dialogs, AppEnvironment &environment, QWidget *parent)
    : QMainWindow(parent)
    , dialogs_(dialogs)
    , environment_(environment)
    , measurementDialogVisible_([] { return false; })
    , dispatch_(receiverData, *this)
{
    setObjectName(u"TMainForm"_s);
    resize(FormSize);
    setMinimumSize(FormMinimumSize);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreatePanels();
    CreateStatusBar();
    CreatePort();
    CreateMonitoring();
    pagesPacer_ = new DisplayPacer(
        [this](int quantity, double shown) {
            const QString text = FormatQuantity(quantity, shown);
            tsLevels->ShowReading(quantity, shown, text);
            tsNumbers->ShowText(quantity, text);
        },
        this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(WatchdogInterval);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), FormSize);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate()
{
    PageControl1->setCurrentIndex(pgEmpty);
    tsEmptyShow();
    setWindowTitle(ProgramName);
    dataReceived_ = false;
    CreateGauges();
}

void TMainForm::CreateActions()
{
    const QString catFile = u"catFile"_s;
    const QString catView = u"catView"_s;
    const QString catControl = u"catControl"_s;
    const QString catGraph = u"catGraph"_s;
    const QKeySequence none;
    const ActionDefinition definitions[] = {
        { &TMainForm::actNewCar, u"actNewCar"_s, catFile, u"Новый автомобиль"_s,
            u"Регистрация нового автомобиля"_s, QKeySequence(u"Ctrl+N"_s), 0, false },
        { &TMainForm::actNewMesurment, u"actNewMesurment"_s, catFile, u"Новое измерение"_s,
            u"Начало нового измерения"_s, QKeySequence(u"Ctrl+O"_s), 2, false },
        { &TMainForm::actPrint, u"actPrint"_s, catFile, u"Печать"_s,
            u"Печать результатов измерений"_s, QKeySequence(u"Ctrl+P"_s), 4, false },
        { &TMainForm::actClose, u"actClose"_s, catFile, u"Выход"_s, u"Завершение работы"_s, none, 6,
            true },
        { &TMainForm::actLevels, u"actLevels"_s, catView, u"Уровни"_s,
            u"Показ параметров в виде шкал"_s, QKeySequence(u"Ctrl+E"_s), 8, false },
        { &TMainForm::actNumbers, u"actNumbers"_s, catView, u"Числа"_s,
            u"Показ параметров в числовом виде"_s, QKeySequence(u"Ctrl+X"_s), 10, false },
        { &TMainForm::actGraphics, u"actGraphics"_s, catView, u"Графики"_s,
            u"Показ параметров в виде графиков"_s, QKeySequence(u"Ctrl+U"_s), 12, false },
        // Ctrl+U belongs to actGraphics; actPump only shows it in its menu entry.
        { &TMainForm::actPump, u"actPump"_s, catControl, u"Насос"_s,
            u"Включение/выключение насоса прибора"_s, none, imgPumpStopped, true },
        { &TMainForm::actCalibr, u"actCalibr"_s, catControl, u"Калибровка"_s,
            u"Автонастройка нуля прибора"_s, QKeySequence(u"Ctrl+C"_s), 14, true },
        { &TMainForm::actCOMSelect, u"actCOMSelect"_s, catControl, u"Выбрать порт..."_s, {}, none,
            -1, true },
        { &TMainForm::actMonitoring, u"actMonitoring"_s, catGraph, u"Режим слежения"_s,
            u"Запуск/остановка режима слежения"_s, QKeySequence(u"Ctrl+M"_s), -1, false },
        { &TMainForm::actSaveGraphics, u"actSaveGraphics"_s, catGraph, u"Сохранить как рисунок"_s,
            u"Сохранение области построения в файл .bmp"_s, QKeySequence(u"Ctrl+S"_s), 20, false },
        { &TMainForm::actClear, u"actClear"_s, catGraph, u"Очистить"_s,
            u"Очистка области построения"_s, none, -1, false },
        { &TMainForm::actPause, u"actPause"_s, catGraph, u"Пауза"_s, u"Приостановка наблюдения"_s,
            none, -1, false },
        { &TMainForm::actResume, u"actResume"_s, catGraph, u"Продолжить"_s,
            u"Продолжение наблюдения"_s, none, -1, false },
    };
    for (const ActionDefinition &definition : definitions) {
        auto *action = new QAction(definition.caption, this);
        action->setObjectName(definition.name);
        action->setProperty("category", definition.category);
        action->setStatusTip(definition.hint);
        action->setToolTip(definition.hint);
        action->setShortcut(definition.shortcut);
        action->setProperty("imageIndex", definition.image);
        action->setIcon(ActionImage(definition.image));
        action->setEnabled(definition.enabled);
        this->*definition.member = action;
        addAction(action); // shortcuts work while the menus are closed
    }
    // actMonitoring has no picture in the image list; its tool bar button
    // gets one of its own, which the menu does not show.
    actMonitoring->setIcon(MonitoringToolBarImage());
    actMonitoring->setIconVisibleInMenu(false);
    actPump->setCheckable(true);
    actPump->setProperty("shortcutHint", u"Ctrl+U"_s);

    connect(actLevels, &QAction::triggered, this, &TMainForm::actLevelsExecute);
    connect(actNumbers, &QAction::triggered, this, &TMainForm::actNumbersExecute);
    connect(actGraphics, &QAction::triggered, this, &TMainForm::actGraphicsExecute);
    connect(actClose, &QAction::triggered, this, &TMainForm::actCloseExecute);
    connect(actPump, &QAction::triggered, this, &TMainForm::actPumpExecute);
    connect(actCalibr, &QAction::triggered, this, &TMainForm::actCaibrExecute);
}

void TMainForm::CreateMenus()
{
    const auto addMenu = [this](const QString &name, const QString &title) {
        auto *menu = new ShortcutHintMenu(title, this);
        menu->setObjectName(name);
        menuBar()->addMenu(menu);
        return menu;
    };
    menuBar()->setObjectName(u"MainMenu1"_s);
    mnuFile = addMenu(u"mnuFile"_s, u"Файл"_s);
    mnuFile->addActions({ actNewCar, actNewMesurment, actPrint, actClose });
    mnuView = addMenu(u"mnuView"_s, u"Вид"_s);
    mnuView->addActions({ actLevels, actNumbers, actGraphics });
    mnuControl = addMenu(u"mnuControl"_s, u"Управление прибором"_s);
    mnuControl->addActions({ actPump, actCalibr });
    mnuControl->addSeparator();
    mnuControl->addAction(actCOMSelect);
    mnuGraph = addMenu(u"mnuGraph"_s, u"Графики"_s);
    mnuGraph->addActions({ actMonitoring, actSaveGraphics });
    mnuGraph->addSeparator();
    mnuGraph->addActions({ actClear, actPause, actResume });
}

void TMainForm::CreateToolBar()
{
    tlbMain = addToolBar(u"tlbMain"_s);
    tlbMain->setObjectName(u"tlbMain"_s);
    tlbMain->setMovable(false);
    tlbMain->setFloatable(false);
    tlbMain->setIconSize(ToolIconSize);
    tlbMain->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tlbMain->addActions({ actNewCar, actNewMesurment, actMonitoring, actPrint, actClose });
    tlbMain->addSeparator();
    tlbMain->addActions({ actLevels, actNumbers, actGraphics });
    tlbMain->addSeparator();
    tlbMain->addActions({ actPump, actCalibr });
    for (QAction *action : tlbMain->actions()) {
        if (QWidget *button = tlbMain->widgetForAction(action); !action->isSeparator() && button)
            button->setFixedSize(ToolButtonSize);
    }
}

void TMainForm::CreatePanels()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, Silver);
    Panel1->setPalette(palette);

    QFont titleFont(u"Arial"_s);
    titleFont.setPointSize(32);
    titleFont.setBold(true);
    const auto addTitle = [&](const QString &name, const QString &text) {
        auto *label = new QLabel(text, Panel1);
        label->setObjectName(name);
        label->setFont(titleFont);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    Label2 = addTitle(u"Label2"_s, u"Газоанализатор"_s);
    Label1 = addTitle(u"Label1"_s, ProgramName);

    PageControl1 = new QStackedWidget(Panel1);
    PageControl1->setObjectName(u"PageControl1"_s);
    const auto addPage = [this](const QString &name) {
        auto *page = new QWidget(PageControl1);
        page->setObjectName(name);
        return page;
    };
    tsEmpty = addPage(u"tsEmpty"_s);
    tsLevels = new LevelsPage(PageControl1);
    tsNumbers = new NumbersPage(PageControl1);
    tsGraphics = addPage(u"tsGraphics"_s);
    Panel34 = new TTrendChartPanel(tsGraphics);
    Chart1 = Panel34->Chart1;
    auto *chartLayout = new QVBoxLayout(tsGraphics);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addWidget(Panel34);
    for (QWidget *page :
        std::initializer_list<QWidget *> { tsEmpty, tsLevels, tsNumbers, tsGraphics })
        PageControl1->addWidget(page);
    connect(PageControl1, &QStackedWidget::currentChanged, this, &TMainForm::PageControl1Change);
    PageControl1->installEventFilter(this); // PageControl1Resize

    // At the window's design size (800 x 565) the pages are 782 x 375.
    auto *layout = new QVBoxLayout(Panel1);
    layout->setContentsMargins(PanelMargins);
    layout->setSpacing(0);
    layout->addWidget(Label2);
    layout->addWidget(Label1);
    layout->addSpacing(TitleGap);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(Panel1);
}

void TMainForm::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    QFont font;
    font.setFamilies({ u"Tahoma"_s, u"Arial"_s, u"Liberation Sans"_s });
    font.setPixelSize(StatusPixelSize);
    const std::size_t last = statusPanels_.size() - 1;
    for (std::size_t panel = 0; panel < statusPanels_.size(); ++panel) {
        auto *label = new QLabel(StatusBar1);
        label->setObjectName(u"StatusPanel%1"_s.arg(panel));
        label->setFont(font);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last panel, like a status bar's last part, reaches the right
        // edge, so that the registration number it shows fits.
        if (panel == last) {
            label->setMinimumWidth(StatusPanelWidths[panel]);
            StatusBar1->addWidget(label, 1);
        } else {
            label->setFixedWidth(StatusPanelWidths[panel]);
            StatusBar1->addWidget(label);
        }
        statusPanels_[panel] = label;
    }
    setStatusBar(StatusBar1);
    SetStatusText(spMonitoring, u" Режим слежения выключен"_s);
}

void TMainForm::CreatePort()
{
    COM1 = new TCommPortDriver(this);
    COM1->setObjectName(u"COM1"_s);
    COM1->SetPortName(u"\\\\.\\COM1"_s); // also makes Port pnCustom
}

void TMainForm::CreateMonitoring()
{
    monitor_
        = new TrendMonitor({
                               .actMonitoring = actMonitoring,
                               .actSaveGraphics = actSaveGraphics,
                               .actClear = actClear,
                               .actPause = actPause,
                               .actResume = actResume,
                               .actGraphics = actGraphics,
                               .setMonitoringStatus
                               = [this](const QString &text) { SetStatusText(spMonitoring, text); },
                               .chartValues = [this] { return readings_.ChartValues(); },
                               .registrationNumber = [this] { return registrationNumber_; },
                               .dialogs = dialogs_,
                               .environment = environment_,
                               .dialogParent = this,
                           },
            *Chart1, this);
    SetChartSampleHandler([this] { monitor_->AddChartSample(); });
}

void TMainForm::PageControl1Change(int index)
{
    switch (index) {
    case pgEmpty:
        tsEmptyShow();
        break;
    case pgLevels:
        tsLevelsShow();
        break;
    case pgNumbers:
        tsNumbersShow();
        break;
    case pgGraphics:
        tsGraphicsShow();
        break;
    default:
        break;
    }
}

void TMainForm::tsEmptyShow()
{
    SetStatusText(spView, u" Для начала работы зарегистрируйте новый автомобиль"_s);
}

void TMainForm::tsLevelsShow()
{
    SetStatusText(spView, u" Показ уровней параметров в виде шкал"_s);
}

void TMainForm::tsNumbersShow()
{
    LayoutNumbersPage();
    SetStatusText(spView, u" Показ уровней параметров в числовом виде"_s);
}

void TMainForm::tsGraphicsShow()
{
    SetStatusText(spView, u" Показ уровней параметров в виде графиков"_s);
}

void TMainForm::actLevelsExecute()
{
    PageControl1->setCurrentIndex(pgLevels);
}

void TMainForm::actNumbersExecute()
{
    PageControl1->setCurrentIndex(pgNumbers);
}

void TMainForm::actGraphicsExecute()
{
    PageControl1->setCurrentIndex(pgGraphics);
}

void TMainForm::actCloseExecute()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        environment_.EndProgram(0);
}

void TMainForm::ChannelReading(int channel, int rawValue)
{
    dispatch_.ChannelReading(channel, rawValue);
}

int TMainForm::RawReading(int channel) const
{
    return dispatch_.RawReading(channel);
}

void TMainForm::ShowValue(int quantity, double value)
{
    if (ShownPageIndex() == pgEmpty || !IsQuantity(quantity))
        return;
    const double shown = readings_.Store(quantity, value);
    if (quantity == qnEngineSpeed)
        AddChartSample();
    pagesPacer_->Offer(quantity, shown);
    if (quantity <= qnEngineSpeed && measurementFieldWriter_ && MeasurementDialogVisible())
        measurementFieldWriter_(quantity, FormatQuantity(quantity, shown));
}

void TMainForm::FlushDisplay()
{
    pagesPacer_->Flush();
}

double TMainForm::CurrentValue(int quantity) const
{
    return readings_.ShownValue(quantity);
}

void TMainForm::SetChartSampleHandler(std::function<void()> handler)
{
    chartSampleHandler_ = std::move(handler);
}

void TMainForm::SetMeasurementFieldWriter(
    std::function<void(int quantity, const QString &text)> writer)
{
    measurementFieldWriter_ = std::move(writer);
}

void TMainForm::AddChartSample()
{
    if (chartSampleHandler_)
        chartSampleHandler_();
}

void TMainForm::CreateGauges()
{
    tsLevels->CreateGauges();
}

void TMainForm::RedrawGauges()
{
    tsLevels->RedrawGauges();
}

void TMainForm::LayoutLevelsPage()
{
    tsLevels->Layout();
}

void TMainForm::LayoutNumbersPage()
{
    tsNumbers->Layout();
}

void TMainForm::PageControl1Resize()
{
    // Every page has the page control's size, shown or not, as its strips
    // have theirs; the layouts of the views follow once a vehicle is there.
    for (int index = 0; index < PageControl1->count(); ++index)
        PageControl1->widget(index)->setGeometry(PageControl1->contentsRect());
    tsLevels->ArrangeStrips();
    if (ShownPageIndex() == pgEmpty)
        return;
    if (tsLevels->HasGauges())
        LayoutLevelsPage();
    LayoutNumbersPage();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PageControl1 && event->type() == QEvent::Resize)
        PageControl1Resize();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ApplyVehicleCategory(int code)
{
    vehicleCategory_ = code;
    GaugeScales scales;
    for (int q = 0; q < QuantityCount; ++q) {
        const TIndicator &gauge = *tsLevels->Gauge(q);
        scales[std::size_t(q)] = { gauge.MaxValue(), gauge.LowLimit(), gauge.HighLimit() };
    }
    scales = ScalesForCategory(code, scales);
    for (int q = 0; q < QuantityCount; ++q) {
        const GaugeScale &scale = scales[std::size_t(q)];
        tsLevels->Gauge(q)->SetScale(scale.MaxValue, scale.LowLimit, scale.HighLimit);
    }
}

double TMainForm::GaugeScaleValue(int choice, int quantity) const
{
    const TIndicator *gauge = tsLevels->Gauge(quantity);
    if (!gauge)
        return 0;
    switch (choice) {
    case 0:
        return gauge->LowLimit();
    case 1:
        return gauge->HighLimit();
    case 2:
        return gauge->MaxValue();
    default:
        return 0;
    }
}

void TMainForm::EnableMeasurementActions(bool enabled)
{
    for (QAction *action :
        { actNewMesurment, actLevels, actNumbers, actMonitoring, actGraphics, actPump, actCalibr })
        action->setEnabled(enabled);
    actClose->setEnabled(true);
}

void TMainForm::SetNewCarEnabled(bool enabled)
{
    actNewCar->setEnabled(enabled);
}

int TMainForm::ShownPageIndex() const
{
    return PageControl1->currentIndex();
}

QString TMainForm::StatusText(int panel) const
{
    if (panel < 0 || panel >= int(statusPanels_.size()))
        return {};
    return statusPanels_[std::size_t(panel)]->text();
}

void TMainForm::SetStatusText(int panel, const QString &text)
{
    if (panel >= 0 && panel < int(statusPanels_.size()))
        statusPanels_[std::size_t(panel)]->setText(text);
}

void TMainForm::SetPumpState(bool running)
{
    pumpRunning_ = running;
    actPump->setProperty("imageIndex", running ? imgPumpRunning : imgPumpStopped);
    actPump->setIcon(ActionImage(running ? imgPumpRunning : imgPumpStopped));
    actPump->setChecked(running);
    if (!running && MeasurementDialogVisible()) {
        // A measurement runs with the pump on: switch it back on at once.
        SendToInstrument(InstrumentCode::PumpSwitch);
        ShowWarning(u"Невозможно выключить насос во время измерений!"_s);
    }
}

void TMainForm::actPumpExecute()
{
    // The picture follows the instrument's answer, not the click; undo the
    // check mark that triggering a checkable action toggles.
    actPump->setChecked(pumpRunning_);
    SendToInstrument(InstrumentCode::PumpSwitch);
}

void TMainForm::actCaibrExecute()
{
    SendToInstrument(InstrumentCode::StartZeroSetting);
    SetPumpState(false);
}

void TMainForm::SetMeasurementDialogVisibleQuery(std::function<bool()> query)
{
    measurementDialogVisible_ = query ? std::move(query) : [] { return false; };
}

bool TMainForm::MeasurementDialogVisible() const
{
    return measurementDialogVisible_();
}

void TMainForm::MeasurementDialogOpened()
{
    if (!actPump->isChecked())
        actPumpExecute();
    actNewCar->setEnabled(false);
    for (QAction *action : { actPump, actNewMesurment, actCalibr })
        action->setEnabled(false);
}

void TMainForm::MeasurementDialogClosed()
{
    actNewCar->setEnabled(true);
    for (QAction *action : { actPump, actNewMesurment, actCalibr })
        action->setEnabled(true);
}

void TMainForm::VehicleRegistered(const QString &registrationNumber)
{
    registrationNumber_ = registrationNumber;
    EnableMeasurementActions(true);
    LayoutLevelsPage();
    if (ShownPageIndex() == pgEmpty)
        PageControl1->setCurrentIndex(pgLevels);
    SetStatusText(spVehicle, u" Регистрационный знак - "_s + registrationNumber);
    // A new vehicle starts with no stored measurement, so nothing to print yet.
    actPrint->setEnabled(false);
}

void TMainForm::ShowServiceWindow()
{
    if (!serviceWindow_)
        serviceWindow_ = new TServiceForm(this);
    serviceWindow_->show();
}

void TMainForm::CloseServiceWindow()
{
    if (serviceWindow_) {
        serviceWindow_->close();
        delete serviceWindow_.data();
    }
}

TServiceForm *TMainForm::ServiceWindow() const
{
    return serviceWindow_;
}

TWarningForm *TMainForm::NoticeWindow() const
{
    return noticeWindow_;
}

void TMainForm::ShowNoticeWindow()
{
    if (!noticeWindow_)
        noticeWindow_ = new TWarningForm(this);
    noticeWindow_->show();
}

void TMainForm::CloseNoticeWindow()
{
    if (noticeWindow_) {
        noticeWindow_->CloseByProgram();
        delete noticeWindow_.data();
    }
}

void TMainForm::SendToInstrument(std::uint8_t code)
{
    COM1->SendByte(code); // a lost command has no echo; nothing to do here
}

void TMainForm::ShowWarning(const QString &text)
{
    dialogs_.Message(this, ProgramName, text, UserDialogs::Icon::Warning, UserDialogs::Ok);
}

} // namespace kavro
