#include "app/ViewSettings.h"

#include "ui/ColumnFitter.h"

#include <QDir>
#include <QHeaderView>
#include <QSettings>
#include <QTableView>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {
// Wider than any screen: a hand-edited value must not make a column of miles.
constexpr int kWidestColumn = 4000;
} // namespace

TViewSettings::TViewSettings(const QString &settingsFolder)
    : m_path(QDir(settingsFolder).filePath(QString::fromLatin1(kFileName)))
{ }

bool TViewSettings::restoreWindow(QWidget *window) const
{
    const QByteArray geometry = QSettings(m_path, QSettings::IniFormat).value(u"Window/geometry"_s).toByteArray();
    // restoreGeometry moves a window whose screen is gone onto one that is there.
    return !geometry.isEmpty() && window->restoreGeometry(geometry);
}

void TViewSettings::saveWindow(const QWidget *window) const
{
    QSettings(m_path, QSettings::IniFormat).setValue(u"Window/geometry"_s, window->saveGeometry());
}

void TViewSettings::restoreColumns(QTableView *view) const
{
    const QStringList widths
        = QSettings(m_path, QSettings::IniFormat).value(u"Columns/"_s + view->objectName()).toStringList();
    const QHeaderView *header = view->horizontalHeader();
    if (widths.size() != header->count())
        return; // another version of the grid: its own widths stay
    for (int col = 0; col < widths.size(); ++col) {
        bool ok = false;
        const int width = widths[col].toInt(&ok);
        if (ok && width > 0 && width <= kWidestColumn && !header->isSectionHidden(col))
            view->setColumnWidth(col, width);
    }
}

void TViewSettings::saveColumns(const QTableView *view) const
{
    // The widths the user left, not those a narrow window squeezed them to.
    const auto *fitter = view->findChild<ColumnFitter *>(QString(), Qt::FindDirectChildrenOnly);
    QStringList widths;
    for (int col = 0; col < view->horizontalHeader()->count(); ++col)
        widths << QString::number(fitter ? fitter->ownWidth(col) : view->columnWidth(col));
    QSettings(m_path, QSettings::IniFormat).setValue(u"Columns/"_s + view->objectName(), widths);
}

QString TViewSettings::logFile() const
{
    return QSettings(m_path, QSettings::IniFormat).value(u"Log/file"_s).toString();
}

bool TViewSettings::logToFile() const
{
    return QSettings(m_path, QSettings::IniFormat).value(u"Log/on"_s, false).toBool();
}

void TViewSettings::setLogFile(const QString &path, bool on) const
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(u"Log/file"_s, path);
    settings.setValue(u"Log/on"_s, on);
}
