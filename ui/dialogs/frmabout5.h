#pragma once

#include "registry.h"
#include "sysinfoplatform.h"

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

/// The about dialog: what the picture shows, a diagram and a sample picture, and a button that
/// starts the system information program. Modeless, without owner, fixed in size; it deletes
/// itself when closed.
class frmAbout5 : public QDialog
{
    Q_OBJECT

public:
    /// registry and platform are not owned and must outlive the dialog; null means the
    /// system's own.
    explicit frmAbout5(Registry *registry = nullptr, SysInfoPlatform *platform = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    std::unique_ptr<Registry> ownRegistry_;
    Registry *registry_ = nullptr;
    SysInfoPlatform ownPlatform_;
    SysInfoPlatform *platform_ = nullptr;

    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *picIcon = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Label1 = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;
};
