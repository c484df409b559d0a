#pragma once
// Qt's own Japanese texts (the file dialogs' labels, the standard buttons of
// message boxes, the print dialog), shipped with Qt. The program's users read
// Japanese whatever the desktop's language, so they are loaded always.
class QCoreApplication;
class QTranslator;

namespace tabulon::app {

// Installs Qt's Japanese catalogue into `app` and returns it (owned by
// `app`); null when it is not found (the standard texts then stay English).
QTranslator* installQtJapanese(QCoreApplication& app);

}  // namespace tabulon::app
