#include "ui/KeyboardLetters.h"

#include <QAction>
#include <QMenu>
#include <QSet>
#include <QWidget>

void AddKeyboardLetters(QWidget *menu)
{
    QSet<QChar> taken;
    for (const QAction *action : menu->actions()) {
        const qsizetype amp = action->text().indexOf(u'&');
        if (amp >= 0 && amp + 1 < action->text().size())
            taken.insert(action->text().at(amp + 1).toLower());
    }
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu *sub = action->menu())
            AddKeyboardLetters(sub);
        QString text = action->text();
        if (text.contains(u'&'))
            continue;
        qsizetype at = -1;
        for (qsizetype i = 0; i < text.size() && at < 0; ++i)
            if (text[i].isLetterOrNumber() && (i == 0 || text[i - 1] == u' ') && !taken.contains(text[i].toLower()))
                at = i;
        for (qsizetype i = 0; i < text.size() && at < 0; ++i)
            if (text[i].isLetterOrNumber() && !taken.contains(text[i].toLower()))
                at = i;
        if (at < 0)
            continue;
        taken.insert(text[at].toLower());
        action->setText(text.insert(at, u'&'));
    }
}
