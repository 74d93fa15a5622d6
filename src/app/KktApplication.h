#pragma once

#include <QApplication>

#include <exception>

// The application object. An error that a command does not handle ends that
// command only: its description is shown in an error box and the program runs on.
// Commands started by a signal catch their errors themselves and report them
// through ShowException (Qt does not let an exception pass its signal delivery);
// notify() is the last resort for an error escaping an event handler.
class KktApplication : public QApplication
{
    Q_OBJECT
public:
    KktApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Loads Qt's own Russian texts (file dialogs, standard buttons) from the
    // folder; false when they are not there: the program then runs with
    // Qt's English ones.
    bool LoadQtTranslations(const QString &folder);

    // The program's one error report: the error's description in an error box
    // over parent (the active window when none is given).
    static void ShowException(const std::exception &e, QWidget *parent = nullptr);
};
