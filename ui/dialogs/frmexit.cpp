#include "frmexit.h"

#include "look.h"
#include "pictures.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <cmath>

namespace {

QLabel *makeLabel(const QString &name, const QString &text, const QRect &geometry, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);

    // In Arial 12 points bold "End  Velmora  programm ?" is some pixels wider than its box;
    // closing up the letters a little shows it whole instead of cut at both ends.
    const qreal excess = QFontMetricsF(label->font()).horizontalAdvance(text) - geometry.width();
    if (excess > 0 && text.size() > 1) {
        QFont font = label->font();
        font.setLetterSpacing(QFont::AbsoluteSpacing,
                              -std::ceil(excess * 10 / (text.size() - 1)) / 10);
        label->setFont(font);
    }
    return label;
}

QPushButton *makeButton(const QString &name, const QString &text, const QRect &geometry,
                        QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

frmexit::frmexit(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmexit"));
    setAttribute(Qt::WA_DeleteOnClose);
    dressWindow(this);
    setFixedSize(472, 170);
    setFont(arial(12, true));

    // Decoration only, but first in the tab order, so it holds the focus when the window opens.
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(8, 16, 105, 137);
    Picture1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap::fromImage(exitSamplePicture()));
    Picture1->setFocusPolicy(Qt::StrongFocus);

    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Saved Your graphic?"),
                       {192, 16, 201, 17}, this);
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("End  Velmora  programm ?"),
                       {200, 56, 193, 17}, this);
    Command1 =
        makeButton(QStringLiteral("Command1"), QStringLiteral("Ok"), {152, 96, 97, 33}, this);
    Command2 =
        makeButton(QStringLiteral("Command2"), QStringLiteral("Abort"), {328, 96, 97, 33}, this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Have a nice day !"),
                       {136, 144, 321, 17}, this);

    setTabOrder(Picture1, Command1);
    setTabOrder(Command1, Command2);
    Picture1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &frmexit::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmexit::Command2_Click);
}

void frmexit::Command1_Click()
{
    const QPointer<frmexit> alive(this);
    emit endProgram();
    if (alive)
        close();
}

void frmexit::Command2_Click()
{
    close();
}
