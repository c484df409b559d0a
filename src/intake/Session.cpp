#include "intake/Session.h"

#include <stdexcept>

namespace tabulon::intake {
namespace {

QStringList split(const char* names) {
    return QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts);
}

// Off from start-up until a workbook is open: every analysis, preview and
// save command.
const QStringList& startupDisabledFirst() {
    static const QStringList list = split(
        "cmdObject cmdCell cmdKansu cmdModule cmdName cmdXlShape cmdSheet cmdFile "
        "cmdOPre cmdCPre cmdPPre cmdFPre cmdMPre cmdNPre cmdSPre cmdTimeCheck cmdSave "
        "cmdComment cmdModStep cmdCOPre cmdMSPre cmdADPre cmdAddin "
        "cmdHyousi_0 cmdHyousi_1 cmdHyousi_2");
    return list;
}

// Off from start-up too, set after the option defaults: the variable lists,
// the citations and the link search, which later commands enable.
const QStringList& startupDisabledLater() {
    static const QStringList list = split(
        "cboSheet2 cmdHensu cmdHensuU cmdHensuT cmdHensuH cmdInyoSaki cmdISPre cmdLinkMoto");
    return list;
}

// The preview button whose stored result an option of the group describes.
QString previewOf(OptionGroup group) {
    switch (group) {
    case OptionGroup::Object: return QStringLiteral("cmdOPre");
    case OptionGroup::Cell: return QStringLiteral("cmdCPre");
    case OptionGroup::Proc: return QStringLiteral("cmdPPre");
    case OptionGroup::Module: return QStringLiteral("cmdMPre");
    case OptionGroup::Shape: return QStringLiteral("cmdSPre");
    case OptionGroup::File: return QStringLiteral("cmdFPre");
    default: return {};
    }
}

}  // namespace

double gaugeEndTwips(int percent) {
    return percent == 100 ? kGaugeTwips : kGaugeTwips / 100.0 * percent;
}

QString percentCaption(int percent) { return QString::number(percent) + u'%'; }

Session::Session(AppPaths paths, QObject* parent) : QObject(parent), paths_(std::move(paths)) {
    for (const QString& name : controlNames())
        enabled_[name] = true;
    // Until start-up has run, nothing that needs a workbook is usable.
    setEnabled(startupDisabledFirst(), false);
    setEnabled(startupDisabledLater(), false);
    values_ = {2, 3, 2, 1, 2, 1, 1, 1};
    selected_ = {1, 2, 1, 0, 1, 0, 0, 0};
}

const QStringList& Session::controlNames() {
    static const QStringList names = split(
        "cmdHyousi_0 cmdHyousi_1 cmdHyousi_2 cmdSave cmdObject cmdOPre cmdCell cmdCPre "
        "cmdKansu cmdPPre cmdModule cmdMPre cmdXlShape cmdSPre "
        "cmdHensu cmdHensuU cmdHensuT cmdHensuH cmdName cmdNPre cmdSheet cmdFile cmdFPre "
        "cmdComment cmdCOPre cmdModStep cmdMSPre cmdAddin cmdADPre cmdInyoSaki cmdISPre "
        "cmdLinkMoto cmdTimeCheck cboSheet cboSheet2 cboLinkMoto m1a m1b m1c m6");
    return names;
}

bool Session::isEnabled(const QString& control) const {
    const auto it = enabled_.find(control);
    if (it == enabled_.end())
        throw std::logic_error("unknown control " + control.toStdString());
    return it->second;
}

void Session::setEnabled(const QString& control, bool on) {
    const auto it = enabled_.find(control);
    if (it == enabled_.end())
        throw std::logic_error("unknown control " + control.toStdString());
    if (it->second == on)
        return;
    it->second = on;
    emit statesChanged();
}

void Session::setEnabled(const QStringList& controls, bool on) {
    for (const QString& c : controls)
        setEnabled(c, on);
}

void Session::applyStartupStates() {
    setEnabled(startupDisabledFirst(), false);
    // Default option buttons, selected in this order; selecting runs the
    // click handler, which also disables the related preview buttons.
    clickOption(OptionGroup::Cell, 2);
    clickOption(OptionGroup::Module, 0);
    clickOption(OptionGroup::Object, 1);
    clickOption(OptionGroup::Proc, 1);
    clickOption(OptionGroup::Shape, 0);
    clickOption(OptionGroup::MPrint, 1);
    clickOption(OptionGroup::File, 0);
    clickOption(OptionGroup::SSelect, 0);
    setEnabled(startupDisabledLater(), false);
    ExcelActive = NoWorkbookLoaded;
    AccessState = NoReportEngine;
}

void Session::MenuLock() { setEnabled(split("m1a m1b m1c m6"), false); }

void Session::clickOption(OptionGroup group, int index) {
    const int g = int(group);
    values_[g] = index + 1;
    selected_[g] = index;
    const QString preview = previewOf(group);
    if (!preview.isEmpty())
        setEnabled(preview, false);
    if (group == OptionGroup::SSelect)
        setEnabled(QStringLiteral("cboSheet2"), values_[g] == 2);
    emit statesChanged();
}

void Session::setProc50(int value) { proc50_ = value; }
void Session::setMod50(int value) { mod50_ = value; }

bool Session::hasModules() const {
    return StdModuleCount > 0 || ClassModuleCount > 0 || FormModuleCount > 0;
}

void Session::setWorkbookPath(const QString& path) {
    if (workbookPath_ == path)
        return;
    workbookPath_ = path;
    emit workbookChanged();
}

void Session::setLists(const QStringList& sheets, const QStringList& links) {
    sheetNames_ = sheets;
    linkItems_ = links;
    emit listsChanged();
}

void Session::setCover(const Cover& cover) {
    if (cover_ == cover)
        return;
    cover_ = cover;
    emit coverChanged();
}

}  // namespace tabulon::intake
