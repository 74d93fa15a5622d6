#include "CliProcess.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

CliRun RunKktCli(const QStringList &arguments, int timeOutMs)
{
    QProcess process;
    process.start(QStringLiteral(KKT_CLI_PATH), arguments);
    process.closeWriteChannel();
    CliRun run;
    if (!process.waitForFinished(timeOutMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

CliRun RunWithBytes(
    const QByteArray &program, const QList<QByteArray> &arguments, const QString &workDir, int timeOutMs)
{
    CliRun run;
#ifdef Q_OS_UNIX
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return run;
    std::vector<QByteArray> keep { program };
    keep.insert(keep.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (QByteArray &a : keep)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workDir);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(0);
        if (::chdir(folder.constData()) == 0)
            ::execv(program.constData(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    QByteArray bytes[2];
    pollfd fds[2] = { { out[0], POLLIN, 0 }, { err[0], POLLIN, 0 } };
    const QDeadlineTimer deadline(timeOutMs);
    int open = 2;
    while (open > 0 && !deadline.hasExpired() && ::poll(fds, 2, int(deadline.remainingTime())) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !fds[i].revents)
                continue;
            char chunk[4096];
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                bytes[i].append(chunk, n);
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd &fd : fds)
        if (fd.fd >= 0)
            ::close(fd.fd);
    if (open > 0)
        ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (open == 0 && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.out = QString::fromUtf8(bytes[0]);
    run.err = QString::fromUtf8(bytes[1]);
#else
    Q_UNUSED(program);
    Q_UNUSED(arguments);
    Q_UNUSED(workDir);
    Q_UNUSED(timeOutMs);
#endif
    return run;
}

bool CliBench::start(const QStringList &emulatorOptions)
{
    const bool ok = emulator.start(QStringLiteral(KKT_EMULATOR_PATH), dir.filePath(u"KKT-EMU"_s), emulatorOptions);
    if (!ok)
        qWarning() << emulator.error();
    return ok;
}

CliRun CliBench::run(const QStringList &arguments, int timeOutMs)
{
    return RunKktCli(QStringList { u"--port"_s, emulator.linkPath() } + arguments, timeOutMs);
}
