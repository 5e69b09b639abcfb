#include "form1driver.h"

#include "main/form1.h"

Form1Driver::Form1Driver(Form1 &form)
    : m_form(form)
{}

toolkit::Control &Form1Driver::entry(int k) const
{
    return m_form.control("TxtNum" + std::to_string(k));
}

void Form1Driver::setEntries(const std::vector<std::string> &texts) const
{
    for (int k = 1; k <= 4; ++k)
        entry(k).setText(static_cast<std::size_t>(k) <= texts.size() ? texts[k - 1] : "");
}

std::vector<std::string> Form1Driver::entries() const
{
    std::vector<std::string> texts;
    for (int k = 1; k <= 4; ++k)
        texts.push_back(entry(k).text());
    return texts;
}

void Form1Driver::calculate() const
{
    m_form.cmdJiSuan_Click();
}

std::string Form1Driver::resultText() const
{
    return m_form.control("Text1").text();
}
