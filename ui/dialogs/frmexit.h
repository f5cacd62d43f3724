#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

/// The exit confirmation: "Ok" asks for the program to end, "Abort" closes the window. It is a
/// window of its own, shown modeless, and deletes itself when closed. Create it without a parent:
/// it has no owner, so it neither stays above nor dies with the main window.
class frmexit : public QWidget
{
    Q_OBJECT

public:
    explicit frmexit(QWidget *parent = nullptr);

signals:
    /// The user confirmed: the receiver ends the program at once. The window closes itself
    /// afterwards unless the receiver has already destroyed it.
    void endProgram();

private:
    void Command1_Click();
    void Command2_Click();

    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *Label2 = nullptr;
};
