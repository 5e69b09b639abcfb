#include "form1driver.h"

#include "main/form1.h"

#include <QLineEdit>
#include <QPushButton>

Form1Driver::Form1Driver(Form1 &form)
    : m_form(form)
{}

QLineEdit *Form1Driver::entry(int k) const
{
    return m_form.findChild<QLineEdit *>(QStringLiteral("TxtNum%1").arg(k));
}

QPushButton *Form1Driver::button(const char *name) const
{
    return m_form.findChild<QPushButton *>(QLatin1String(name));
}

void Form1Driver::setEntries(const QStringList &texts) const
{
    for (int k = 1; k <= 4; ++k)
        entry(k)->setText(texts.value(k - 1));
}

QStringList Form1Driver::entries() const
{
    QStringList texts;
    for (int k = 1; k <= 4; ++k)
        texts << entry(k)->text();
    return texts;
}

void Form1Driver::calculate() const
{
    m_form.cmdJiSuan_Click();
}

QString Form1Driver::resultText() const
{
    return m_form.findChild<toolkit::MultiLineTextBox *>(QStringLiteral("Text1"))->Text();
}
