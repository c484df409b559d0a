#include "app/FrmTabulon.h"

#include "app/Controls.h"
#include "app/Twips.h"
#include "ui_frmTabulon.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>

namespace tabulon::app {
namespace {

// What moving the mouse over a command button writes into txtMesege.
const std::pair<const char*, const char*> kHoverTexts[] = {
    {"cmdHyousi_0", "表紙を印刷します。"}, {"cmdHyousi_1", "表紙を印刷します。"},
    {"cmdHyousi_2", "表紙を印刷します。"}, {"cmdObject", "オブジェクトの一覧を印刷します。"},
    {"cmdCell", "セルの情報を印刷します。"}, {"cmdKansu", "モジュールの一覧を印刷します。"},
    {"cmdModule", "モジュールの情報を印刷します。"}, {"cmdXlShape", "図形の一覧を印刷します。"},
    {"cmdName", "セル名前の一覧を印刷します。"}, {"cmdSheet", "シートイメージを印刷します。"},
    {"cmdFile", "ファイル一覧を印刷します。"}, {"cmdComment", "コメント一覧を印刷します。"},
    {"cmdModStep", "モジュール・ステップ一覧を印刷します。"}, {"cmdAddin", "アドイン一覧を印刷します。"},
    {"cmdHensu", "変数情報を取得します。"}, {"cmdHensuU", "ユーザー定義型一覧を印刷します。"},
    {"cmdHensuT", "定数一覧を印刷します。"}, {"cmdHensuH", "変数一覧を印刷します。"},
    {"cmdInyoSaki", "プロシージャ引用先一覧を印刷します。"}, {"cmdLinkMoto", "リンク先を検索します。"},
    {"cmdTimeCheck", "処理時間(概算)を計算表示します。"}};

// "cmdHyousi_2" -> ("cmdHyousi", 2); "cmdKansu" -> ("cmdKansu", 0).
std::pair<QString, int> splitIndex(const QString& objectName) {
    const qsizetype at = objectName.lastIndexOf(u'_');
    bool ok = false;
    const int index = at < 0 ? 0 : objectName.mid(at + 1).toInt(&ok);
    return ok ? std::pair{objectName.left(at), index} : std::pair{objectName, 0};
}

}  // namespace

FrmTabulon::FrmTabulon(intake::Session& session, MessagePort* messages, QWidget* parent)
    : QMainWindow(parent), session_(session), ui_(std::make_unique<Ui::frmTabulon>()) {
    ui_->setupUi(this);
    if (!messages) {
        ownMessages_ = std::make_unique<BoxMessages>(this);
        messages = ownMessages_.get();
    }
    messages_ = messages;
    progress_ = std::make_unique<WindowProgress>(this, ui_->txtMesege, ui_->lblPer, ui_->linGuage);
    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    connect(timer1_, &QTimer::timeout, this, &FrmTabulon::timer1Fired);
    endProcess_ = [] { QCoreApplication::quit(); };

    layoutGauge();
    giveCaptionsRoom();
    wireButtons();
    wireOptions();
    wireFields();
    installFilters();
    connect(&session_, &intake::Session::statesChanged, this, &FrmTabulon::applyStates);
    connect(&session_, &intake::Session::coverChanged, this, &FrmTabulon::applyCover);
    connect(&session_, &intake::Session::listsChanged, this, &FrmTabulon::applyLists);
    connect(&session_, &intake::Session::workbookChanged, this,
            [this] { ui_->lblDBName->setText(session_.workbookPath()); });
    applyStates();
    applyCover();
}

FrmTabulon::~FrmTabulon() = default;

void FrmTabulon::setCommand(const QString& name, Command command) {
    commands_[name] = std::move(command);
}
void FrmTabulon::setStartupStep(std::function<void()> step) { startupStep_ = std::move(step); }
void FrmTabulon::addShutdownStep(std::function<void()> step) {
    shutdownSteps_.push_back(std::move(step));
}
void FrmTabulon::setEndProcess(std::function<void()> end) { endProcess_ = std::move(end); }

intake::CommandShell FrmTabulon::shell() {
    return {*messages_, *progress_, [this] { m1z_Click(); }};
}

void FrmTabulon::runCommand(const QString& name, int index) {
    const auto it = commands_.find(name);
    if (it != commands_.end() && it->second)
        it->second(index);
}

void FrmTabulon::wireButtons() {
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        const QString name = b->objectName();
        if (!name.startsWith(QStringLiteral("cmd")))
            continue;
        if (name == QStringLiteral("cmdSave")) {
            connect(b, &QAbstractButton::clicked, this, &FrmTabulon::cmdSave_Click);
            continue;
        }
        const auto [base, index] = splitIndex(name);
        connect(b, &QAbstractButton::clicked, this, [this, base, index] { runCommand(base, index); });
    }
    for (QAction* a : findChildren<QAction*>()) {
        const QString name = a->objectName();
        if (name.isEmpty() || a->menu())
            continue;
        if (name == QStringLiteral("m1z")) {
            connect(a, &QAction::triggered, this, &FrmTabulon::m1z_Click);
            continue;
        }
        const auto [base, index] = splitIndex(name);
        connect(a, &QAction::triggered, this, [this, base, index] { runCommand(base, index); });
    }
}

void FrmTabulon::wireOptions() {
    // optFile 2 sits in a frame of its own; one group keeps the three exclusive.
    auto* fileGroup = new QButtonGroup(this);
    for (const OptionButtons& array : optionButtons()) {
        for (int i = 0;; ++i) {
            auto* radio = findChild<QRadioButton*>(QStringLiteral("%1_%2").arg(QLatin1String(array.name)).arg(i));
            if (!radio)
                break;
            if (qstrcmp(array.name, "optFile") == 0)
                fileGroup->addButton(radio);
            const auto choose = array.choose;
            connect(radio, &QAbstractButton::clicked, this, [this, choose, i] { choose(session_, i); });
        }
    }
    connect(ui_->chkProc50, &QAbstractButton::clicked, this,
            [this](bool on) { session_.setProcedureKana(on); });
    connect(ui_->chkMod50, &QAbstractButton::clicked, this,
            [this](bool on) { session_.setSourceKana(on); });
}

void FrmTabulon::wireFields() {
    for (QLineEdit* e : {ui_->txtTitle, ui_->txtCompany, ui_->txtBumon, ui_->txtAuther,
                         ui_->txtDate, ui_->txtSystem, ui_->txtZoom})
        connect(e, &QLineEdit::textEdited, this, &FrmTabulon::coverEdited);
}

void FrmTabulon::coverEdited() {
    session_.setCover({ui_->txtTitle->text(), ui_->txtCompany->text(), ui_->txtBumon->text(),
                       ui_->txtAuther->text(), ui_->txtDate->text(), ui_->txtSystem->text(),
                       ui_->txtZoom->text()});
}

void FrmTabulon::installFilters() {
    // Enter-as-Tab: the window sees every key of its controls first.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    for (const auto& [name, text] : kHoverTexts) {
        if (QObject* control = findChild<QObject*>(QLatin1String(name)))
            hoverTexts_[control] = QString::fromUtf8(text);
    }
    hoverTexts_[ui_->centralwidget] = QString();
    hoverTexts_[ui_->lblDBName] = QString();
}

bool FrmTabulon::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched == focusWidget())
            focusNextPrevChild(true);
        break;  // the Enter key itself goes on to the control
    }
    case QEvent::Enter:
    case QEvent::MouseMove: {
        // A disabled button takes no mouse moves: its text does not show.
        const auto it = hoverTexts_.find(watched);
        const auto* w = qobject_cast<QWidget*>(watched);
        if (it != hoverTexts_.end() && w && w->isEnabled())
            ui_->txtMesege->setText(it->second);
        break;
    }
    case QEvent::FocusIn:
        for (QLineEdit* e : {ui_->txtTitle, ui_->txtSystem, ui_->txtCompany, ui_->txtBumon,
                             ui_->txtAuther, ui_->txtDate}) {
            if (watched == e)
                e->selectAll();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmTabulon::applyStates() {
    for (const CommandControl& c : commandControls()) {
        const bool on = session_.isEnabled(c.command);
        const QString name = QLatin1String(c.control);
        if (QWidget* w = findChild<QWidget*>(name))
            w->setEnabled(on);
        else if (QAction* a = findChild<QAction*>(name))
            a->setEnabled(on);
    }
    const intake::Options& options = session_.options();
    for (const OptionButtons& array : optionButtons()) {
        const QString name = QStringLiteral("%1_%2").arg(QLatin1String(array.name)).arg(array.selected(options));
        if (auto* radio = findChild<QRadioButton*>(name))
            radio->setChecked(true);
    }
    ui_->chkProc50->setChecked(options.procedureKana);
    ui_->chkMod50->setChecked(options.sourceKana);
}

void FrmTabulon::applyCover() {
    const intake::Cover& c = session_.cover();
    const std::pair<QLineEdit*, const QString*> fields[] = {
        {ui_->txtTitle, &c.title}, {ui_->txtCompany, &c.company}, {ui_->txtBumon, &c.bumon},
        {ui_->txtAuther, &c.auther}, {ui_->txtDate, &c.date}, {ui_->txtSystem, &c.system},
        {ui_->txtZoom, &c.zoom}};
    for (const auto& [edit, text] : fields) {
        if (edit->text() != *text)
            edit->setText(*text);
    }
}

void FrmTabulon::applyLists() {
    for (QComboBox* box : {ui_->cboSheet, ui_->cboSheet2}) {
        box->clear();
        box->addItems(session_.sheetNames());
        box->setCurrentIndex(session_.sheetNames().isEmpty() ? -1 : 0);
    }
    ui_->cboLinkMoto->clear();
    ui_->cboLinkMoto->addItems(session_.linkItems());
    ui_->cboLinkMoto->setCurrentIndex(-1);
}

void FrmTabulon::showRecentFiles() {
    QAction* const items[] = {ui_->RecentFile_0, ui_->RecentFile_1, ui_->RecentFile_2,
                              ui_->RecentFile_3};
    for (int i = 0; i < 4; ++i) {
        QAction* item = items[i];
        const QString& entry = session_.recentFiles[i];
        item->setVisible(intake::isRecentSlotUsed(entry));
        if (item->isVisible())
            item->setText(entry);
    }
}

// A caption with a full-width blank ("リンク先セル　検索") is measured a little
// narrower than the fallback font draws it: every button gets at least an
// em of room on each side of its caption.
void FrmTabulon::giveCaptionsRoom() {
    for (QPushButton* b : findChildren<QPushButton*>()) {
        const QFontMetrics metrics = b->fontMetrics();
        const int needed = metrics.horizontalAdvance(b->text()) + 2 * metrics.height();
        b->setMinimumWidth(std::max(b->minimumWidth(), needed));
    }
}

void FrmTabulon::layoutGauge() {
    const double dpi = logicalDpiX();
    const int full = twipsToPixels(intake::kGaugeTwips, dpi);
    const int margin = 10;
    ui_->Picture1->setFixedSize(full + 2 * margin + 44, 40);
    ui_->linGuage->setGeometry(margin, 8, 0, 5);
    QPalette pal = ui_->linGuage->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 160));
    ui_->linGuage->setPalette(pal);
    ui_->lblPer->setGeometry(margin + full + 8, 2, 40, 18);
    ui_->lblScale0->setGeometry(margin - 4, 18, 30, 18);
    ui_->lblScale50->setGeometry(margin + full / 2 - 12, 18, 30, 18);
    ui_->lblScale100->setGeometry(margin + full - 16, 18, 34, 18);
    progress_->setGaugeEnd(0);
    progress_->showGauge(false);
}

void FrmTabulon::previewShown() {
    progress_->status(QStringLiteral("印刷後、印刷ﾌﾟﾚﾋﾞｭｰを終了して下さい。"));
    startTimer1();
}

void FrmTabulon::startTimer1() {
    timer1_->setInterval(5000);
    timer1_->start();
}

void FrmTabulon::timer1Fired() {
    progress_->status(QString());
    progress_->setGaugeEnd(0);
    progress_->showGauge(false);
    timer1_->stop();
    timer1_->setInterval(0);
}

}  // namespace tabulon::app
