// The window's part in a session that ends otherwise than by its close, and
// in what the history keeps beside the cells: the copy of unsaved edits, the
// signals and the desktop session's end, the file a load undone gives back.
#include "app/MainForm.h"

#include "app/RecoveryCopy.h"
#include "app/SessionEnd.h"
#include "app/StatusLine.h"
#include "pages/ConfigCopy.h"
#include "ui/GridEdits.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

void TFormMain::SayRunHolds(const QString &text)
{
    m_status->note(text);
    QApplication::beep();
}

void TFormMain::KeepForNextStart()
{
    if (m_closed)
        return;
    SaveIniSettings(SettingsFile(u"ProgSett.ini"_s), StructSett);
    SaveView();
    if (!m_edits.isClean())
        m_recovery->writeNow();
}

void TFormMain::EndSession()
{
    m_endingSession = true;
    if (m_session.busy()) {
        // The run ends at its next request; the window closes after it.
        KeepForNextStart();
        m_session.requestStop();
        connect(
            &m_session, &TKktSession::busyChanged, this,
            [this] { QMetaObject::invokeMethod(this, &TFormMain::EndSession, Qt::QueuedConnection); },
            Qt::SingleShotConnection);
        return;
    }
    if (!close())
        return;
    // A log window left open would keep the program running.
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::any_of(windows.begin(), windows.end(), [](const QWidget *w) { return w->isVisible(); }))
        QCoreApplication::quit();
}

void TFormMain::WatchSessionEnd(TSessionEnd &end)
{
    connect(&end, &TSessionEnd::endRequested, this, &TFormMain::EndSession);
    connect(&end, &TSessionEnd::saveRequested, this, &TFormMain::KeepForNextStart);
}

void TFormMain::CreateRecoveryCopy()
{
    m_recovery = new TRecoveryCopy(QDir(m_dataFolder).filePath(u"recovery"_s), this);
    m_recovery->setSource(
        [this](TConfig &config) { ::GridsToConfig(Grids(), config); }, [this] { return m_configFile; });
    connect(&m_edits, &GridEdits::changed, m_recovery, [this] { m_recovery->changed(m_edits.isClean()); });
    connect(&m_edits, &GridEdits::cleanChanged, m_recovery, [this](bool clean) { m_recovery->changed(clean); });
    connect(m_recovery, &TRecoveryCopy::written, this, [this](bool ok, const QString &error) {
        if (!ok)
            m_status->note(u"Копия несохранённых изменений не записана: "_s + error);
    });
}

void TFormMain::OfferRecovery()
{
    const std::optional<TRecoveryCopy::Found> found = m_recovery->offer(this);
    if (!found)
        return;
    Config.Gsm = found->config->Gsm;
    Config.Cfg102 = found->config->Cfg102;
    // Unsaved edits again: one step, undone the window is as it started.
    m_edits.record(
        AllGrids(), u"Восстановление несохранённых изменений"_s, [this] { ConfigToGrids(); }, KeepDocumentForHistory());
    m_configFile = found->record.configFile;
    ShowWhereWeAre();
}

std::function<void()> TFormMain::KeepDocumentForHistory()
{
    auto file = std::make_shared<QString>(m_configFile);
    return [this, file, baseline = m_editedCells.keepForHistory()] {
        baseline();
        std::swap(m_configFile, *file);
    };
}
