// The main window: four entry boxes, Calculate and Exit, and the result box.
#pragma once

#include "toolkit/toolkit.h"

class QLabel;
class QLineEdit;
class QPushButton;

class Form1 : public toolkit::Form
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    // The Calculate command: check the four entries, warning about each bad
    // one, store the good ones, search, and show the solutions one per line.
    void cmdJiSuan_Click();
    void cmdExit_Click();

protected:
    void Form_Load() override;

private:
    QLabel *Label1;
    QLineEdit *TxtNum1;
    QLineEdit *TxtNum2;
    QLineEdit *TxtNum3;
    QLineEdit *TxtNum4;
    QLabel *Label2;
    toolkit::MultiLineTextBox *Text1;
    QPushButton *cmdJiSuan;
    QPushButton *cmdExit;
};
