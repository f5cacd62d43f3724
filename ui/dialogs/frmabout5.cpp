#include "frmabout5.h"

#include "look.h"
#include "pictures.h"
#include "sysinfo.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

QLabel *makeLabel(const QString &name, const QRect &geometry, const QFont &font, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

/// A picture box: a sunken frame two pixels wide around the image.
QLabel *makePicture(const QString &name, const QRect &geometry, const QImage &image,
                    QWidget *parent)
{
    auto *box = new QLabel(parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    box->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->setPixmap(QPixmap::fromImage(image));
    return box;
}

} // namespace

frmAbout5::frmAbout5(Registry *registry, SysInfoPlatform *platform)
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      registry_(registry), platform_(platform ? platform : &ownPlatform_)
{
    if (!registry_) {
        ownRegistry_ = makePlatformRegistry();
        registry_ = ownRegistry_.get();
    }

    setObjectName(QStringLiteral("frmAbout5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    dressWindow(this);
    setFixedSize(557, 482);

    lblTitle = makeLabel(QStringLiteral("lblTitle"), {16, 0, 523, 32}, arial(18, true), this);
    lblTitle->setText(QStringLiteral("Velmora"));
    lblTitle->setAlignment(Qt::AlignCenter);

    lblVersion = makeLabel(QStringLiteral("lblVersion"), {248, 32, 259, 15}, arial(11.25), this);
    lblVersion->setText(QStringLiteral("2002"));
    lblVersion->setAlignment(Qt::AlignCenter);

    lblDescription =
        makeLabel(QStringLiteral("lblDescription"), {216, 48, 331, 233}, arial(12), this);
    lblDescription->setWordWrap(true);
    lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    picIcon = makePicture(QStringLiteral("picIcon"), {8, 56, 164, 220}, aboutSamplePicture(), this);

    lblDisclaimer = makeLabel(QStringLiteral("lblDisclaimer"), {8, 296, 289, 119}, arial(12), this);
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Picture1 = makePicture(QStringLiteral("Picture1"), {344, 296, 205, 182}, aboutDiagram(), this);

    Label1 = makeLabel(QStringLiteral("Label1"), {8, 416, 73, 17}, arial(11.25), this);
    Label1->setText(QStringLiteral("Have fun."));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(8, 448, 84, 23);
    cmdOK->setDefault(true);

    cmdSysInfo = new QPushButton(QStringLiteral("&Systeminfo..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(112, 448, 83, 23);

    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    // Esc rejects the dialog, which closes it like OK does.
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout5::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout5::cmdSysInfo_Click);

    Form_Load();
}

void frmAbout5::Form_Load()
{
    lblDescription->setText(
        QStringLiteral("The two marked buttons ( 2 and 3 ) are fixed masses with ") +
        QStringLiteral("90.000kg. A mass with 50.000.000kg is free on each point one after "
                       "another and ") +
        QStringLiteral("is moving in a chaotic way because of two powers of gravitation to the "
                       "other two ") +
        QStringLiteral("masses. If the moving mass impacts the one , then the starting point of "
                       "the moving") +
        QStringLiteral("mass gets the color of the one and so on. The result ( 1 ) is that in a "
                       "chaos system ") +
        QStringLiteral("you can find something like an arrangement. Between the two masses is one "
                       "point ") +
        QStringLiteral("without gravitation ( 4 )."));
    lblDisclaimer->setText(
        QStringLiteral("Find out what happens if You change mass, radius, distance, ") +
        QStringLiteral(" size, position a.s.o. In the variables box You see the current values "
                       "of all ") +
        QStringLiteral("parameters. Power = 6,67*10(E-11)*(m1*m2)/r\u00b2."));
}

void frmAbout5::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // Line1: an etched separator, grey over white.
    QPainter painter(this);
    painter.fillRect(88, 288, 371, 1, QColor(128, 128, 128));
    painter.fillRect(88, 289, 371, 2, Qt::white);
}

void frmAbout5::cmdOK_Click()
{
    close();
}

void frmAbout5::cmdSysInfo_Click()
{
    StartSysInfo(*registry_, *platform_, this);
}
