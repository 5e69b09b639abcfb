// The About window and its countdown.
#include "frmabout.h"

#include "main/form1.h"
#include "quaddlefacts.h"
#include "toolkit/shell.h"

#include <QGroupBox>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int countdownTicks = 10; // OK becomes usable at this tick

const QColor background(255, 192, 255);

// Everything here is drawn on designed backgrounds, so the text has a designed
// colour too: the desktop's own may be light, on a dark theme.
const QColor textColor(0, 0, 0);
const QColor linkColor = textColor;
const QColor linkHighlight(0, 0, 255);

using toolkit::designFont;

// The designed calligraphic face first; where it is missing (anywhere but on
// Windows) the calligraphic CJK face that is installed.
QFont versionFont()
{
    static const QStringList faces{QStringLiteral("隶书"),   QStringLiteral("LiSu"),
                                   QStringLiteral("STLiti"), QStringLiteral("AR PL UKai CN"),
                                   QStringLiteral("KaiTi"),  QStringLiteral("WenQuanYi Zen Hei")};
    return toolkit::fontFromFaces(faces, 15);
}

// The maker's name and addresses here are longer than the ones the layout was
// drawn for. Where a text would not fit its designed box in its designed size,
// it is set just small enough to fit, in steps of half a point and no smaller
// than the first step at or below 6 points, so every text stays whole.
//
// Each size measured is a font to load, which is most of what opening this
// window costs; so the search starts where the width, near enough in
// proportion to the size, says the answer lies, and corrects by single steps.
void fitText(QLabel *label)
{
    constexpr double step = 0.5;
    constexpr double smallest = 6;
    QFont font = label->font();
    const double designed = font.pointSizeF();
    const auto advance = [&](double points) {
        font.setPointSizeF(points);
        return QFontMetricsF(font).horizontalAdvance(label->text());
    };
    const double width = label->width();
    const double designedAdvance = advance(designed);
    if (designedAdvance <= width)
        return;

    const int lastStep = static_cast<int>(std::ceil((designed - smallest) / step));
    const double estimate = designed * width / designedAdvance;
    int steps = std::clamp(static_cast<int>(std::ceil((designed - estimate) / step)), 1, lastStep);
    while (steps > 1 && advance(designed - (steps - 1) * step) <= width)
        --steps;
    while (steps < lastStep && advance(designed - steps * step) > width)
        ++steps;
    font.setPointSizeF(designed - steps * step);
    label->setFont(font);
}

const QString promoNotebook = QStringLiteral("Veltaro记账本\r\n"
                                             "简单好用的家庭记账软件：\r\n"
                                             "收入支出一目了然，\r\n"
                                             "每月自动生成统计图表。\r\n");
const QString promoClock = QStringLiteral("Veltaro小闹钟\r\n"
                                          "桌面上的贴心提醒：\r\n"
                                          "定时、倒计时、生日提醒，\r\n"
                                          "一个也不会忘记。\r\n");

toolkit::MultiLineTextBox *promoBox(const QString &text, QWidget *parent)
{
    auto *box = new toolkit::MultiLineTextBox(parent);
    box->setFont(designFont(12, 400)); // first, so the text is laid out once
    box->setText(text);
    box->moveCursor(QTextCursor::Start); // the caret starts at the top left, as in any new box
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, background);
    box->setPalette(palette);
    return box;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : toolkit::Form(parent)
    , Label1(
          new toolkit::Label(QString::fromUtf8(maker::name) + QStringLiteral("软件欢迎您"), this))
    , lblVersion(new QLabel(QStringLiteral("Ver:1.0.1"), this))
    , labEmail(
          new toolkit::Label(QStringLiteral("Email:") + QLatin1String(maker::emailAddress), this))
    , labWeb(new toolkit::Label(QStringLiteral("Web:") + QLatin1String(maker::webAddress), this))
    , labQQ(new QLabel(QStringLiteral("QQ:") + QLatin1String(maker::qqNumber), this))
    , Frame1(new QGroupBox(this))
    , txtPromo2(promoBox(promoNotebook, Frame1))
    , txtPromo1(promoBox(promoClock, Frame1))
    , labTime(new QLabel(QStringLiteral(" 9"), this))
    , lbl(new QLabel(QStringLiteral("欢迎使用我们的软件，本工作室接受软件定制"), this))
    , cmdOk(new QPushButton(QStringLiteral("知道了"), this))
    , Timer1(addTimer(1000))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString());
    toolkit::setClientSize(this, 8790, 3915);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, textColor);
    palette.setColor(QPalette::Text, textColor);
    setPalette(palette);
    setAutoFillBackground(true);

    const std::pair<QWidget *, const char *> names[] = {
        {Label1, "Label1"},       {lblVersion, "lblVersion"},
        {labEmail, "labEmail"},   {labWeb, "labWeb"},
        {labQQ, "labQQ"},         {Frame1, "Frame1"},
        {txtPromo2, "txtPromo2"}, {txtPromo1, "txtPromo1"},
        {labTime, "labTime"},     {lbl, "lbl"},
        {cmdOk, "cmdOk"}};
    for (const auto &[control, name] : names)
        control->setObjectName(QLatin1String(name));
    Timer1->setObjectName(QStringLiteral("Timer1"));

    toolkit::place(Label1, 2370, 45, 3255, 555);
    toolkit::place(lblVersion, 6030, 375, 1710, 300);
    toolkit::place(labEmail, 3120, 795, 3180, 360);
    toolkit::place(labWeb, 150, 810, 2805, 360);
    toolkit::place(labQQ, 6465, 810, 1725, 360);
    // Reaches 90 twips beyond the right edge: its right border is cut off.
    toolkit::place(Frame1, 105, 1185, 8775, 2010);
    toolkit::place(txtPromo2, 135, 195, 4200, 1665);
    toolkit::place(txtPromo1, 4440, 195, 4200, 1665);
    toolkit::place(labTime, 270, 3300, 555, 555);
    toolkit::place(lbl, 990, 3315, 6360, 345);
    toolkit::place(cmdOk, 7410, 3345, 1050, 450);

    Label1->setFont(designFont(24, 700));
    lblVersion->setFont(versionFont());
    for (QLabel *text :
         {static_cast<QLabel *>(labEmail), static_cast<QLabel *>(labWeb), labQQ, lbl})
        text->setFont(designFont(13.5, 400));
    labTime->setFont(designFont(24, 400));
    for (QLabel *label : findChildren<QLabel *>()) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        fitText(label);
    }
    // The contact row reads as one line: all three in the smallest fitted size.
    const std::array<QLabel *, 3> contacts{labWeb, labEmail, labQQ};
    const auto smallest = std::min_element(contacts.begin(), contacts.end(), [](auto *a, auto *b) {
        return a->font().pointSizeF() < b->font().pointSizeF();
    });
    for (QLabel *contact : contacts)
        contact->setFont((*smallest)->font());

    for (toolkit::Label *link : {Label1, labEmail, labWeb})
        link->setForeColor(linkColor);
    for (toolkit::Label *link : {labEmail, labWeb})
        link->setCursor(Qt::PointingHandCursor);
    // The welcome line opens the web page too, so it is a link as well.
    Label1->setCursor(Qt::PointingHandCursor);

    QPalette badge = labTime->palette();
    badge.setColor(QPalette::WindowText, QColor(255, 0, 0));
    badge.setColor(QPalette::Window, QColor(192, 192, 255));
    labTime->setPalette(badge);
    labTime->setAutoFillBackground(true);
    labTime->setAlignment(Qt::AlignCenter);

    cmdOk->setEnabled(false);
    cmdOk->setAutoDefault(true);

    setTabOrder(txtPromo2, txtPromo1);
    setTabOrder(txtPromo1, cmdOk);
    txtPromo2->setFocus();

    connect(Timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);
    connect(cmdOk, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    connect(labWeb, &toolkit::Label::Click, this, &frmAbout::labWeb_Click);
    connect(Label1, &toolkit::Label::Click, this, &frmAbout::Label1_Click);
    connect(labEmail, &toolkit::Label::Click, this, &frmAbout::labEmail_Click);
    connect(labWeb, &toolkit::Label::MouseMove, this, &frmAbout::labWeb_MouseMove);
    connect(labEmail, &toolkit::Label::MouseMove, this, &frmAbout::labEmail_MouseMove);
}

void frmAbout::Form_Load()
{
    const toolkit::AppVersion version = toolkit::appVersion();
    lblVersion->setText(
        QStringLiteral("Ver:%1.%2.%3").arg(version.major).arg(version.minor).arg(version.revision));
}

void frmAbout::Timer1_Timer()
{
    m_tickCount = std::min(m_tickCount + 1, countdownTicks);
    if (m_tickCount >= countdownTicks)
        cmdOk->setEnabled(true);
    else
        labTime->setText(QLatin1Char(' ') + QString::number(countdownTicks - m_tickCount));
}

void frmAbout::cmdOk_Click()
{
    // The main window is up before this one goes, so the program always has a window.
    toolkit::form<Form1>().Show();
    Unload();
}

void frmAbout::labWeb_Click()
{
    toolkit::ShellExecute(hWnd(), QStringLiteral("open"), QLatin1String(maker::webAddress),
                          QString(), QString(), toolkit::swShow);
}

void frmAbout::Label1_Click()
{
    labWeb_Click();
}

void frmAbout::labEmail_Click()
{
    toolkit::ShellExecute(hWnd(), QStringLiteral("open"),
                          QStringLiteral("mailto:") + QLatin1String(maker::emailAddress), QString(),
                          QString(), toolkit::swShow);
}

void frmAbout::labWeb_MouseMove()
{
    labWeb->setForeColor(linkHighlight);
}

void frmAbout::labEmail_MouseMove()
{
    labEmail->setForeColor(linkHighlight);
}

void frmAbout::Form_MouseMove()
{
    labWeb->setForeColor(linkColor);
    labEmail->setForeColor(linkColor);
}
