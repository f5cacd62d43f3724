#pragma once

#include "tests/common/fakechoosers.h"
#include "tests/common/windowtest.h"

#include <QObject>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// What the tests of the menu commands share: a window for each test, shown, its choosers fakes
/// that follow script_, and a folder of its own.
class CommandWindowTest : public QObject
{
protected:
    /// For init(): a new window and folder.
    void openWindow()
    {
        folderOwner_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder().isValid());
        script_ = ChooserScript();
        window_ = new frmgrav;
        window_->commonDialog().setDialogs(std::make_unique<FakeChoosers>(script_));
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }
    /// For cleanup().
    void closeWindow()
    {
        delete window_;
        window_ = nullptr;
        windowtest::deleteClosedWindows();
    }
    void trigger(const char *name) { windowtest::action(*window_, name)->trigger(); }
    /// A complete run of a 6 x 4 picture.
    void paintSmallPicture()
    {
        windowtest::setPictureSize(*window_, 6, 4);
        trigger("cmdstart");
        QCOMPARE(int(window_->state().rowsdone), 4);
    }
    QTemporaryDir &folder() { return *folderOwner_; }

    frmgrav *window_ = nullptr;
    ChooserScript script_;

private:
    std::unique_ptr<QTemporaryDir> folderOwner_;
};
