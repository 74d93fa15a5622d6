#pragma once

#include "config/ProgSett.h"
#include "kkt/KktSearch.h"
#include "kkt/KktTransaction.h"
#include "kkt/PortDiscovery.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QThread;

class KktChannel;

namespace Ui {
class TFormSett;
}

// "Настройки связи с ККТ": port, speed, time-out and KKT number, with a link
// test on the values typed. "Применить" takes them over into the program
// settings in memory.
class TFormSett : public QDialog
{
    Q_OBJECT
public:
    TFormSett(TStructSetting &structSett, const TArrayCom &arrCom, KktChannel &channel, QWidget *parent = nullptr);
    ~TFormSett() override;

    // The links "Найти ККТ" tries the ports through; the real ports unless replaced.
    void setSearchLinks(KktSearch::LinkMaker makeLink) { m_searchLinks = std::move(makeLink); }
    bool searching() const { return m_search != nullptr; }

signals:
    // After every link check: the values it was made with and whether the KKT answered.
    void linkChecked(const KktConnection &conn, bool ok);

public slots:
    void ComboBox1Change();
    void ComboBox2Change();
    void Edit1Change(const QString &text);
    void Edit2Change(const QString &text);
    void Button2Click();
    void Button1Click();
    void Button3Click();
    // "Найти ККТ": every port at every speed on a worker thread, with progress;
    // pressed again ("Стоп") it ends the search after the try under way.
    void btnFindKktClick();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SearchStep(const KktSearchStep &step);
    void SearchEnded(const KktSearchResult &result, const QStringList &ports, qint32 numKkt);
    void SetSearching(bool on);
    void StopSearch();

    void FormShow();
    // The key filter of both edit fields: true when the key is to be dropped.
    static bool Edit1KeyPress(const QKeyEvent &key);

    std::unique_ptr<Ui::TFormSett> ui;
    TStructSetting &StructSett;
    const TArrayCom &ArrCom;
    KktChannel &Channel;
    bool m_shown = false;
    KktSearch::LinkMaker m_searchLinks;
    QThread *m_search = nullptr;
    std::atomic_bool m_cancel = false;
    QList<bool> m_enabledBefore;
};
