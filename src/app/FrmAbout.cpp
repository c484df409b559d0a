#include "app/FrmAbout.h"

#include "host/PathParts.h"
#include "ui_frmAbout.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#ifndef TABULON_VERSION
#define TABULON_VERSION "1.1"
#endif

namespace tabulon::app {
namespace {

constexpr int kLogoSize = 64;
constexpr int kLogoIntervalMs = 250;
const QColor kLinkBlue(0, 0, 255);
const QColor kLinkRed(255, 0, 0);

// A ruled table under a title row; the highlighted cell walks across it.
QPixmap logoPicture(int index) {
    QPixmap pixmap(kLogoSize, kLogoSize);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const int cell = kLogoSize / 4;
    p.fillRect(0, 0, kLogoSize, cell, QColor(0, 0, 128));
    p.fillRect((index - 1) * cell, (1 + (index - 1) % 3) * cell, cell, cell, QColor(255, 160, 0));
    p.setPen(QPen(QColor(0, 0, 128), 1));
    for (int i = 0; i <= 4; ++i) {
        const int at = qMin(i * cell, kLogoSize - 1);
        p.drawLine(at, 0, at, kLogoSize - 1);
        p.drawLine(0, at, kLogoSize - 1, at);
    }
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(cell - 4);
    p.setFont(font);
    p.drawText(QRect(0, 0, kLogoSize, cell), Qt::AlignCenter, QStringLiteral("Tabulon"));
    return pixmap;
}

}  // namespace

QVector<QPixmap> FrmAbout::imgLogo() {
    QVector<QPixmap> frames(5);
    for (int i = 1; i <= 4; ++i)
        frames[i] = logoPicture(i);
    return frames;
}

FrmAbout::FrmAbout(const QString& workbookPath, DiskSpacePort& disks, ShellOpenPort& shell,
                   MessagePort& messages, AboutLinks links, QWidget* parent)
    : QDialog(parent), workbookPath_(workbookPath), disks_(disks), shell_(shell),
      messages_(messages), links_(std::move(links)), ui_(std::make_unique<Ui::frmAbout>()),
      timer1_(new QTimer(this)), frames_(imgLogo()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(kLogoIntervalMs);
    connect(timer1_, &QTimer::timeout, this, &FrmAbout::Timer1_Timer);
    connect(ui_->cmdAbout, &QAbstractButton::clicked, this, &QDialog::close);
    ui_->lblVersion->setText(QStringLiteral("Version %1").arg(QLatin1String(TABULON_VERSION)));
    ui_->Label6->setVisible(!links_.mail.isEmpty());
    ui_->Label8->setVisible(!links_.homePage.isEmpty());
    for (QLabel* link : {ui_->Label6, ui_->Label8}) {
        setLinkColour(link, kLinkBlue);
        link->installEventFilter(this);
    }
    Form_Load();
    timer1_->start();
}

FrmAbout::~FrmAbout() = default;

void FrmAbout::Form_Load() {
    ui_->imgLogoWk->setPixmap(frames_[1]);
    if (workbookPath_.isEmpty())
        return;
    const VolumeSpace volume = disks_.volumeOf(workbookPath_);
    ui_->lblName->setText(host::GetFileNamePart(workbookPath_));
    ui_->lblDrive->setText(volume.root);
    ui_->lblTotal->setText(megabytesText(diskSpace(volume, 1, 1)));
    ui_->lblFree->setText(megabytesText(diskSpace(volume, 2, 1)));
    ui_->lblObjSize->setText(megabytesText(double(QFileInfo(workbookPath_).size()) / 1024 / 1024));
}

void FrmAbout::Timer1_Timer() {
    frame_ = frame_ % 4 + 1;
    ui_->imgLogoWk->setPixmap(frames_[frame_]);
}

void FrmAbout::Label6_Click() {
    openLink(QUrl(QStringLiteral("mailto:") + links_.mail));
}

void FrmAbout::Label8_Click() { openLink(QUrl(links_.homePage)); }

void FrmAbout::openLink(const QUrl& url) {
    if (!shell_.open(url))
        messages_.message(QStringLiteral("「%1」を開けません。\r既定のメールソフトまたはブラウザが"
                                         "設定されていません。")
                              .arg(url.toString()));
}

void FrmAbout::setLinkColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}

bool FrmAbout::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && (label == ui_->Label6 || label == ui_->Label8)) {
        if (event->type() == QEvent::MouseButtonPress) {
            setLinkColour(label, kLinkRed);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            setLinkColour(label, kLinkBlue);
            if (label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                label == ui_->Label6 ? Label6_Click() : Label8_Click();
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tabulon::app
