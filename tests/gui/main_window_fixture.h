// A main window on an application object whose port and message box are
// replaced: nothing touches a real serial port or blocks on a message box.
#pragma once

#include <gtest/gtest.h>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "main_window_parts.h"
#include "zel5100util_app.h"
#include "zel5100util_dlg.h"

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        // A settings store of its own for every test.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        app_ = std::make_unique<Zel5100UtilApp>();
        app_->PortOpener = [this](const std::string& name) {
            openedPorts_.push_back(name);
            return -1;
        };
        app_->PortCloser = [] {};
        app_->MessageBox = [this](const QString& text) { messages_ << text; };
        app_->Confirm = [this](const QString& text) {
            questions_ << text;
            return confirmAnswer_;
        };
        window_ = std::make_unique<Zel5100UtilDlg>(*app_);
        ComposeMainWindow(*window_);
    }

    void TearDown() override {
        window_.reset();
        app_.reset();
    }

    QTemporaryDir settingsDir_;
    std::unique_ptr<Zel5100UtilApp> app_;
    std::unique_ptr<Zel5100UtilDlg> window_;
    std::vector<std::string> openedPorts_;
    QStringList messages_;
    QStringList questions_;
    bool confirmAnswer_ = true;
};
