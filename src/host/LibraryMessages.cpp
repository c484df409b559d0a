#include "host/LibraryMessages.h"

#include "common/Log.h"

#include <glib.h>

namespace tabulon::host {

namespace {

void toLog(const gchar* domain, GLogLevelFlags, const gchar* message, gpointer) {
    logging::write(QString::fromUtf8(domain ? domain : "glib"), QString::fromUtf8(message ? message : ""));
}

}  // namespace

void routeLibraryMessages() { g_log_set_default_handler(toLog, nullptr); }

}  // namespace tabulon::host
