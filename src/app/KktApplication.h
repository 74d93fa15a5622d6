#pragma once

#include <QApplication>

// The application object. An error that a command does not handle ends that
// command only: its description is shown in an error box and the program runs on.
class KktApplication : public QApplication
{
    Q_OBJECT
public:
    KktApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the description of an unhandled error.
    static void ShowException(const std::exception &e);
};
