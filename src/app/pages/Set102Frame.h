#pragma once

#include "pages/Grids102.h"
#include "pages/PageResult.h"
#include "pages/RangeCheck.h"
#include "pages/RunTypes.h"
#include "pages/xlsTool.h"
#include "ui/Prompts.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class TEditedCells;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QTabWidget;
class TKktSession;
class TRunPanel;
class TShape;
class TStringGrid;
class DigitsKeyFilter;

// The "Параметры 102" page: the seven tables of the register, each on a tab of
// its own with its row range, the runs between a tab and the KKT, and the goods
// files on the goods tab.
class TFrameSet102 : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameSet102(QWidget *parent = nullptr);
    ~TFrameSet102() override;

    // Prepares the page once, right after the main window created it; the
    // session carries the KKT channel and the run guard.
    void Init(TKktSession &session);
    // Asked before a read or a file replaces edited cells; told what matches now.
    void setEditedCells(TEditedCells *cells) { m_editedCells = cells; }
    // The workbook reader the import runs (tests give a stand-in).
    void setXlsReader(const XlsReader &reader) { m_xlsReader = reader; }

    // The cells of a table (not the GSM one): the working copy of its values.
    StringGridModel &grid(TableKind kind);
    TStringGrid *goodsView() const;
    TStringGrid *view(TableKind kind) const;
    QWidget *scannerIndicator() const; // Shape1
    QLabel *scannerCaption() const; // Label14, "Сканер штрих-кода"
    QLabel *shtrihLabel() const; // lblCorrectShtrihCode

    // "Записать в ККТ", "Прочитать из ККТ" and "Очистить базу в ККТ" together.
    void EnableKKTButtons(bool enabled);
    // The range of the showing tab: false after the message shown and the focus given.
    bool CheckRange(QLineEdit *fromField, QLineEdit *toField, int maxRow);

    // The table of the tab that is showing.
    TableKind showingTable() const;
    void showTable(TableKind kind);

signals:
    // "Предмет расчета" became visible.
    void goodsTabShown();
    // Another tab became visible; the KKT buttons are enabled right after.
    void hookedTabShown();

public slots:
    void Button3Click(); // "Записать в ККТ"
    void Button4Click(); // "Прочитать из ККТ"
    void btnVerifyClick(); // "Сверить с ККТ"
    void Button5Click(); // "Очистить базу в ККТ"
    void Button6Click(); // "Перейти к товару"
    void Button1Click(); // "Сохранить в файл"
    void Button2Click(); // "Загрузить из файла"
    void N11Click(); // "Загрузить из 1С (формат *.1cdb)"
    void N12Click(); // "Выгрузить в 1С (формат *.1cdb)"
    void N1xls1Click(); // "Загрузить из 1С (формат *.xls)"
    void N1csv1Click(); // "Загрузить из таблицы (формат *.csv)"
    void N2csv1Click(); // "Выгрузить в таблицу (формат *.csv)"
    void N2xlsx1Click(); // "Выгрузить в таблицу (формат *.xlsx)"

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Tab
    {
        TableKind kind;
        QWidget *sheet = nullptr;
        TStringGrid *view = nullptr;
        QLineEdit *from = nullptr;
        QLineEdit *to = nullptr;
    };

    void CreateTabs();
    Tab &AddTab(TableKind kind);
    QLineEdit *AddDigitField(QWidget *parent, const QString &name, int length, const QString &text);
    QWidget *CreateGoodsTools();
    QWidget *CreateBottomRow();
    QWidget *CreateFindBar();
    void CreatePopupMenu();
    void OnTabShown(const Tab &tab);
    const Tab &tabOf(TableKind kind) const;
    // The showing tab's range, checked; nothing when the user was told it is wrong.
    std::optional<RangeCheck> ShowingRange();
    void RunShowingTab(RunDirection direction);
    // A run over rows from..to of a table, under the caller's guard: the check
    // before a write, the run, its summary, and after a failure or a stop the
    // failed row shown and "Продолжить с N" offered.
    void RunRows(TableKind kind, RunDirection direction, int from, int to);
    // Rows from..to of the register against the grid, under the caller's guard.
    void VerifyRows(TableKind kind, int from, int to);
    // The run with the panel's progress and its stop message.
    RunResult RunWithPanel(TableKind kind, RunDirection direction, StringGridModel &cells, int from, int to);
    void ResumeRun();
    // CheckRange with the numbers of a range that passed.
    RangeCheck CheckRangeFields(QLineEdit *fromField, QLineEdit *toField, int maxRow);
    // The result's message, if any, in an information or an error box.
    void ShowResult(const PageResult &result);
    // The goods file the user chooses (and, for a file that replaces the goods, agrees to load); empty if none.
    QString AskGoodsFile(Prompts::Kind dialog, const QString &filter, const QString &suffix);
    // op under the busy cursor as one step of the history, then its message; a
    // file that replaces the goods keeps what they matched before for an undo.
    void ApplyGoodsFile(const std::function<PageResult()> &op, bool replaces);
    // A goods file command: the file dialog, then op under the busy cursor, then its message.
    void GoodsFileCommand(Prompts::Kind dialog, const QString &filter, const QString &suffix,
        const std::function<PageResult(const QString &path)> &op);

    TKktSession *m_session = nullptr;
    TEditedCells *m_editedCells = nullptr;
    XlsReader m_xlsReader = XlsReader::Default();
    DigitsKeyFilter *m_digits;
    std::array<std::unique_ptr<StringGridModel>, 7> m_grids;
    std::array<Tab, 7> m_tabs;

    QLabel *Label1;
    QTabWidget *PageControl1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *btnVerify = nullptr;
    QPushButton *Button5 = nullptr;
    QPushButton *Button6 = nullptr;
    QPushButton *Button7 = nullptr;
    QLineEdit *Edit11 = nullptr;
    TShape *Shape1 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *lblCorrectShtrihCode = nullptr;
    QMenu *PopupMenu1 = nullptr;
    TRunPanel *m_runPanel = nullptr;
    int m_shownTab = 0; // the tab shown, kept while a run holds the channel
    // Where "Продолжить с N" goes on: rows from..to of a table; from 0: nothing to go on with.
    struct Resume
    {
        TableKind kind = TableKind::Oper;
        RunDirection direction = RunDirection::Write;
        int from = 0;
        int to = 0;
    };
    Resume m_resume;
};
