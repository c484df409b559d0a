#include "app/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace tabulon::app {
namespace {
const char* kService = "org.freedesktop.ScreenSaver";
const char* kPath = "/org/freedesktop/ScreenSaver";
}  // namespace

void ScreenSaver::setActive(bool active) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusInterface saver(kService, kPath, kService, bus);
    if (!saver.isValid())
        return;
    if (!active && cookie_ == 0) {
        QDBusReply<unsigned> reply =
            saver.call(QStringLiteral("Inhibit"), QStringLiteral("Tabulon"),
                       QStringLiteral("a workbook is being documented"));
        if (reply.isValid())
            cookie_ = reply.value();
    } else if (active && cookie_ != 0) {
        saver.call(QStringLiteral("UnInhibit"), cookie_);
        cookie_ = 0;
    }
}

}  // namespace tabulon::app
