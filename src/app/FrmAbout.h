#pragma once
// frmAbout, the About box: the program's name and version, the current
// workbook's file name and size with the size and free space of the volume
// that holds it, an animated logo, and two links (feedback by mail, the home
// page) opened with the desktop's handlers. A link with no address
// configured is not shown.
#include "app/Desktop.h"
#include "common/Ports.h"

#include <QDialog>
#include <QPixmap>
#include <QVector>
#include <memory>

namespace Ui { class frmAbout; }
class QLabel;
class QTimer;

namespace tabulon::app {

struct AboutLinks {
    QString mail;      // an e-mail address (without "mailto:")
    QString homePage;  // an https: address
};

class FrmAbout : public QDialog {
    Q_OBJECT
public:
    FrmAbout(const QString& workbookPath, DiskSpacePort& disks, ShellOpenPort& shell,
             MessagePort& messages, AboutLinks links, QWidget* parent = nullptr);
    ~FrmAbout() override;

    void Form_Load();
    // One tick of the logo timer: the next of the four pictures.
    void Timer1_Timer();
    int logoFrame() const { return frame_; }
    void Label6_Click();  // feedback mail
    void Label8_Click();  // home page

    // The pictures of the animation, imgLogo(1) .. imgLogo(4) (index 0 unused).
    static QVector<QPixmap> imgLogo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openLink(const QUrl& url);
    void setLinkColour(QLabel* label, const QColor& colour);

    QString workbookPath_;
    DiskSpacePort& disks_;
    ShellOpenPort& shell_;
    MessagePort& messages_;
    AboutLinks links_;
    std::unique_ptr<Ui::frmAbout> ui_;
    QTimer* timer1_;
    QVector<QPixmap> frames_;
    int frame_ = 0;
};

}  // namespace tabulon::app
