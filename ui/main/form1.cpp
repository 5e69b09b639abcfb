// The main window and its Calculate command.
#include "form1.h"

#include "calculate.h"
#include "modQuaddle.h"
#include "quaddlefacts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

QLabel *label(const QString &text, QWidget *parent)
{
    auto *control = new QLabel(text, parent);
    control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return control;
}

} // namespace

Form1::Form1(QWidget *parent)
    : toolkit::Form(parent)
    , Label1(label(QStringLiteral("请输入4个数:"), this))
    , TxtNum1(new QLineEdit(QStringLiteral("3"), this))
    , TxtNum2(new QLineEdit(QStringLiteral("5"), this))
    , TxtNum3(new QLineEdit(QStringLiteral("9"), this))
    , TxtNum4(new QLineEdit(QStringLiteral("8"), this))
    , Label2(label(QStringLiteral("计算结果:"), this))
    , Text1(new toolkit::MultiLineTextBox(this))
    , cmdJiSuan(new QPushButton(QStringLiteral("计算"), this))
    , cmdExit(new QPushButton(QStringLiteral("退出"), this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QLatin1String(quaddle::applicationTitle) + u' ' +
                   QLatin1String(maker::webAddress));
    toolkit::setClientSize(this, 3465, 3090);

    toolkit::place(Label1, 135, 90, 1755, 345);
    toolkit::place(TxtNum1, 405, 495, 600, 330);
    toolkit::place(TxtNum2, 1110, 495, 600, 330);
    toolkit::place(TxtNum3, 1815, 495, 600, 330);
    toolkit::place(TxtNum4, 2520, 495, 600, 330);
    toolkit::place(Label2, 135, 990, 1035, 255);
    toolkit::place(Text1, 390, 1320, 2655, 1020);
    toolkit::place(cmdJiSuan, 465, 2640, 885, 345);
    toolkit::place(cmdExit, 2010, 2640, 885, 345);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    cmdJiSuan->setObjectName(QStringLiteral("cmdJiSuan"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(Label2->text());
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setText(QStringLiteral("Text1"));

    const QList<QLineEdit *> entries{TxtNum1, TxtNum2, TxtNum3, TxtNum4};
    for (int k = 0; k < entries.size(); ++k) {
        entries[k]->setObjectName(QStringLiteral("TxtNum%1").arg(k + 1));
        entries[k]->setAccessibleName(QStringLiteral("第%1个数").arg(k + 1));
        // No length limit: whatever is typed or pasted is read as it stands.
        entries[k]->setMaxLength(std::numeric_limits<int>::max());
        // Enter in an entry box calculates, as the button would.
        connect(entries[k], &QLineEdit::returnPressed, this, &Form1::cmdJiSuan_Click);
    }

    // A focused button takes Enter as well as Space, also outside a dialog.
    cmdJiSuan->setAutoDefault(true);
    cmdExit->setAutoDefault(true);
    connect(cmdJiSuan, &QPushButton::clicked, this, &Form1::cmdJiSuan_Click);
    connect(cmdExit, &QPushButton::clicked, this, &Form1::cmdExit_Click);

    setTabOrder(cmdJiSuan, TxtNum1);
    setTabOrder(TxtNum1, TxtNum2);
    setTabOrder(TxtNum2, TxtNum3);
    setTabOrder(TxtNum3, TxtNum4);
    setTabOrder(TxtNum4, Text1);
    setTabOrder(Text1, cmdExit);
    // Tab in the result box moves on rather than typing a tab.
    Text1->setTabChangesFocus(true);
    cmdJiSuan->setFocus();
}

void Form1::Form_Load()
{
    Text1->setText(QString());
}

void Form1::cmdJiSuan_Click()
{
    const std::array<QLineEdit *, 4> entries{TxtNum1, TxtNum2, TxtNum3, TxtNum4};
    for (std::size_t k = 0; k < entries.size(); ++k) {
        // A rejected entry leaves its number in the store as it was.
        const calculate::EntryCheck entry = calculate::checkEntry(entries[k]->text());
        if (entry.value)
            modQuaddle::Num[k + 1] = *entry.value;
        else
            toolkit::MsgBoxWarning(entry.warning);
    }

    modQuaddle::clearResults();
    modQuaddle::FindSolutions();
    Text1->setText(calculate::resultText());
}

void Form1::cmdExit_Click()
{
    Unload();
}
