// Drives the main window through its own controls, by their designed names:
// the tests, the fuzz target and the click benchmark all use it.
#pragma once

#include <QString>
#include <QStringList>

class Form1;
class QLineEdit;
class QPushButton;

class Form1Driver
{
public:
    explicit Form1Driver(Form1 &form);

    // Entry box k, 1 to 4.
    QLineEdit *entry(int k) const;
    QPushButton *button(const char *name) const;

    // Sets the four entries; texts past the given ones are left empty.
    void setEntries(const QStringList &texts) const;
    QStringList entries() const;

    // Runs the Calculate command as a click on the button would.
    void calculate() const;
    // The result box's text, lines separated by CR LF.
    QString resultText() const;

private:
    Form1 &m_form;
};
