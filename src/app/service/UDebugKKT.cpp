#include "app/service/UDebugKKT.h"

#include "app/service/LogView.h"
#include "config/SafeFile.h"
#include "kkt/ExchangeLog.h"
#include "ui/Prompts.h"

#include <QAction>
#include <QColor>
#include <QPointer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

namespace {
constexpr int kWidth = 482;
constexpr int kLogHeight = 376;
constexpr int kFindBarHeight = 28;
} // namespace

using namespace Qt::StringLiterals;

TfrmDebugKKM::TfrmDebugKKM(QWidget *parent)
    : ServiceWindow(u"frmDebugKKM"_s, u"Отладка ККМ"_s, QSize(482, 405), parent)
    , RichEdit(new LogView(this))
    , btnClear(new QPushButton(u"Очистить"_s, this))
    , btnSave(new QPushButton(u"Сохранить журнал…"_s, this))
{
    RichEdit->setObjectName(u"RichEdit"_s);
    RichEdit->setAccessibleName(u"Журнал обмена"_s);
    RichEdit->setGeometry(0, 0, kWidth, kLogHeight);
    QFont font(u"MS Sans Serif"_s, 8);
    font.setStyleHint(QFont::SansSerif);
    RichEdit->setFont(font);

    btnClear->setObjectName(u"btnClear"_s);
    btnClear->setGeometry(200, 380, 75, 25);
    connect(btnClear, &QPushButton::clicked, this, &TfrmDebugKKM::btnClearClick);

    // Beside "Очистить", left of it: saving the log and finding in it.
    btnSave->setObjectName(u"btnSave"_s);
    btnSave->setGeometry(8, 380, 140, 25);
    connect(btnSave, &QPushButton::clicked, this, &TfrmDebugKKM::btnSaveClick);
    CreateFindBar();
    auto *find = new QAction(u"Найти…"_s, this);
    find->setObjectName(u"ActionFindInLog"_s);
    find->setShortcut(QKeySequence::Find);
    find->setShortcutContext(Qt::WindowShortcut);
    connect(find, &QAction::triggered, this, &TfrmDebugKKM::ShowFind);
    addAction(find);
    auto *save = new QAction(u"Сохранить журнал…"_s, this);
    connect(save, &QAction::triggered, this, &TfrmDebugKKM::btnSaveClick);
    RichEdit->addActions({ find, save });
}

void TfrmDebugKKM::CreateFindBar()
{
    m_findBar = new QWidget(this);
    m_findBar->setObjectName(u"FindBar"_s);
    m_findBar->setGeometry(0, 0, kWidth, kFindBarHeight);
    auto *label = new QLabel(u"Найти:"_s, m_findBar);
    m_findText = new QLineEdit(m_findBar);
    m_findText->setObjectName(u"FindText"_s);
    label->setBuddy(m_findText);
    auto *next = new QPushButton(u"Далее"_s, m_findBar);
    next->setObjectName(u"FindNext"_s);
    auto *previous = new QPushButton(u"Назад"_s, m_findBar);
    previous->setObjectName(u"FindPrevious"_s);
    m_findStatus = new QLabel(m_findBar);
    m_findStatus->setObjectName(u"FindStatus"_s);
    for (QPushButton *button : { next, previous })
        button->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, &TfrmDebugKKM::FindNext);
    connect(previous, &QPushButton::clicked, this, &TfrmDebugKKM::FindPrevious);
    connect(m_findText, &QLineEdit::returnPressed, this, &TfrmDebugKKM::FindNext);
    m_findText->installEventFilter(this);
    auto *row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(label);
    row->addWidget(m_findText, 1);
    row->addWidget(next);
    row->addWidget(previous);
    row->addWidget(m_findStatus);
    m_findBar->hide();
}

void TfrmDebugKKM::ShowFind()
{
    // The log makes room for the bar above it.
    m_findBar->show();
    RichEdit->setGeometry(0, kFindBarHeight, kWidth, kLogHeight - kFindBarHeight);
    m_findText->setFocus(Qt::ShortcutFocusReason);
    m_findText->selectAll();
}

void TfrmDebugKKM::HideFind()
{
    m_findBar->hide();
    RichEdit->setGeometry(0, 0, kWidth, kLogHeight);
    RichEdit->setFocus();
}

void TfrmDebugKKM::FindNext()
{
    Find(false);
}

void TfrmDebugKKM::FindPrevious()
{
    Find(true);
}

void TfrmDebugKKM::Find(bool backward)
{
    const bool found = RichEdit->find(m_findText->text(), backward);
    m_findStatus->setText(found || m_findText->text().isEmpty() ? QString() : u"Не найдено"_s);
}

bool TfrmDebugKKM::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_findText && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            HideFind();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ShiftModifier)) {
            FindPrevious();
            return true;
        }
    }
    return ServiceWindow::eventFilter(watched, event);
}

void TfrmDebugKKM::btnSaveClick()
{
    const QString path
        = Prompts::instance().saveFileName(this, u"Текстовые файлы (*.txt)|*.txt|Все файлы|*.*"_s, u"txt"_s);
    if (path.isEmpty())
        return;
    QString error;
    const QString text = RichEdit->toPlainText();
    if (!SafeFile::WriteAll(path, (text.isEmpty() ? text : text + u"\n"_s).toUtf8(), &error))
        Prompts::instance().error(this, u"ВНИМАНИЕ!\r\n"_s + error);
}

bool TfrmDebugKKM::StartLogFile(const QString &path, QString *error)
{
    return m_file.open(path, error);
}

void TfrmDebugKKM::StopLogFile()
{
    m_file.close();
}

ExchangeLogSink TfrmDebugKKM::sink()
{
    return [log = QPointer<TfrmDebugKKM>(this)](const TBufKKT &buf, bool isAnswer) {
        if (!log)
            return;
        if (QThread::currentThread() == log->thread())
            log->LogBufKKT(buf, isAnswer);
        else
            QMetaObject::invokeMethod(
                log.data(),
                [log, buf, isAnswer] {
                    if (log)
                        log->LogBufKKT(buf, isAnswer);
                },
                Qt::QueuedConnection);
    };
}

void TfrmDebugKKM::LogBufKKT(const TBufKKT &buf, bool isAnswer)
{
    const QString text = LogBufText(buf, isAnswer);
    if (isAnswer)
        AddAnswerText(text);
    else
        AddRequestText(text);
    if (m_file.isOpen() && !m_file.append(buf, isAnswer))
        emit logFileFailed(m_file.error());
}

void TfrmDebugKKM::AddRequestText(const QString &text)
{
    AddParagraph(text, QColor(255, 0, 0));
}

void TfrmDebugKKM::AddAnswerText(const QString &text)
{
    AddParagraph(text, QColor(0, 128, 0));
}

void TfrmDebugKKM::AddNote(const QString &text)
{
    AddParagraph(text, QColor());
}

void TfrmDebugKKM::btnClearClick()
{
    RichEdit->clear();
}

void TfrmDebugKKM::AddParagraph(const QString &text, const QColor &colour)
{
    // A new paragraph: a blank, then the text, whose CR LF pairs start new lines.
    QString body = u" "_s + text;
    body.replace(u"\r\n"_s, u"\n"_s);
    RichEdit->appendLines(body, colour);
}
