#include "ui/splashform.h"

#include "platform/programname.h"
#include "platform/userdialogs.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace kavro {

namespace {
constexpr QSize ClientSize(375, 321);
constexpr int TitleHeight = 281;
const QColor Background(34, 37, 172);
const QColor Cream(255, 251, 240);

QFont PixelFont(const QStringList &families, int pixelSize)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

void SetColors(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
} // namespace

TSplashForm::TSplashForm(
    SplashHost &host, UserDialogs &dialogs, SplashTimings timings, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , Panel1(new QLabel(ProgramName, this))
    , Panel2(new QLabel(u"Выполняется соединение с прибором"_s, this))
    , host_(host)
    , dialogs_(dialogs)
{
    setObjectName(u"TSplashForm"_s);
    setFixedSize(ClientSize);
    SetColors(this, Background, Cream);

    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setGeometry(0, 0, ClientSize.width(), TitleHeight);
    Panel1->setAlignment(Qt::AlignCenter);
    // Tahoma is not everywhere; DejaVu Sans is its closest free relative.
    Panel1->setFont(PixelFont({ u"Tahoma"_s, u"DejaVu Sans"_s }, 64));
    SetColors(Panel1, Background, Cream);

    Panel2->setObjectName(u"Panel2"_s);
    Panel2->setGeometry(0, TitleHeight, ClientSize.width(), ClientSize.height() - TitleHeight);
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setFont(PixelFont({ u"Arial"_s, u"Liberation Sans"_s }, 21));
    SetColors(Panel2, Qt::black, palette().color(QPalette::Base));

    Timer1.setObjectName(u"Timer1"_s);
    Timer1.setInterval(timings.dropPeriodMs);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
    Timer2.setObjectName(u"Timer2"_s);
    Timer2.setInterval(timings.questionPeriodMs);
    connect(&Timer2, &QTimer::timeout, this, &TSplashForm::Timer2Timer);

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSplashForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TSplashForm::FormShow()
{
    timerFired_ = false;
    portOpen_ = host_.OpenInstrumentPort();
    Timer1.start();
    Timer2.start();
    if (!portOpen_)
        dialogs_.Message(this, ProgramName, u"Ошибка при подключении к СОМ-порту."_s,
            UserDialogs::Icon::Error, UserDialogs::Ok);
    host_.SetNewCarEnabled(portOpen_);
    // Bytes of the first two seconds are read and dropped.
    host_.SetReceiveHandlerAttached(false);
}

void TSplashForm::Timer1Timer()
{
    timerFired_ = true;
    Timer1.stop();
    host_.SetReceiveHandlerAttached(true);
    if (portOpen_)
        host_.ShowMainWindow();
    else
        host_.CloseMainWindow();
}

void TSplashForm::Timer2Timer()
{
    Timer2.stop();
    const auto answer
        = dialogs_.Message(this, ProgramName, u"Прибор не отвечает. Выбрать другой COM-порт?\r"_s,
            UserDialogs::Icon::Question, UserDialogs::Yes | UserDialogs::No);
    if (answer == UserDialogs::Yes)
        host_.actCOMSelectExecute();
    // The receiver may have closed the splash while the question was open.
    if (isVisible())
        Timer2.start();
}

void TSplashForm::done(int result)
{
    Timer2.stop();
    QDialog::done(result);
}

void TSplashForm::closeEvent(QCloseEvent *event)
{
    // No border and no close button: only the program closes the splash.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TSplashForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

} // namespace kavro
