#pragma once
// A main window on a scratch program folder, with message boxes answered by
// script so that no test ever waits for a click.
#include "app/Controls.h"
#include "app/FrmTabulon.h"
#include "common/Ports.h"
#include "intake/Session.h"
#include "reports/preview/PreviewWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tabulon::test {

class ScriptedMessages : public MessagePort {
public:
    struct Shown { QString text; Buttons buttons; };
    QList<Shown> shown;
    std::deque<Answer> answers;  // Ok when the script runs out

    Answer message(const QString& text, Buttons buttons) override {
        shown.append({text, buttons});
        if (answers.empty())
            return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class WindowFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    intake::AppPaths paths = intake::AppPaths::forFolder(dir.path());
    ScriptedMessages messages;
    int ended = 0;
    std::unique_ptr<intake::Session> session;
    std::unique_ptr<app::FrmTabulon> window;

    void SetUp() override {
        writeFile(paths.datPath, "Title=\r\nKisya=\r\nBumon=\r\nZoom=\r\n");
    }

    // Creates the window and runs its start-up; `beforeLoad` puts commands in
    // place first, as the program does.
    void start(const QString& commandLine = {}, const std::function<void()>& beforeLoad = {}) {
        window.reset();
        session = std::make_unique<intake::Session>(paths);
        session->commandLine = commandLine;
        window = std::make_unique<app::FrmTabulon>(*session, &messages);
        window->setEndProcess([this] { ++ended; });
        if (beforeLoad)
            beforeLoad();
        window->Form_Load();
    }

    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    template <typename T = QWidget>
    T* widget(const QString& name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << "no control " << name.toStdString();
        return w;
    }
    QAction* action(const QString& name) { return widget<QAction>(name); }
    static reports::PreviewWindow* preview() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<reports::PreviewWindow*>(w); p && p->isVisible())
                return p;
        return nullptr;
    }
    // Makes the command behind a control usable, as a command of the program would.
    void enable(const QString& control) {
        for (const app::CommandControl& c : app::commandControls())
            if (control == QLatin1String(c.control)) return session->setEnabled(c.command, true);
        ADD_FAILURE() << "no command behind " << control.toStdString();
    }
    bool enabled(const QString& name) {
        if (QWidget* w = window->findChild<QWidget*>(name))
            return w->isEnabled();
        if (QAction* a = window->findChild<QAction*>(name))
            return a->isEnabled();
        ADD_FAILURE() << "no control " << name.toStdString();
        return false;
    }
};

}  // namespace tabulon::test
