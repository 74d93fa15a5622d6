// Every file the program reads or writes, met by what a user's disk may hold
// instead of a plain file: a FIFO, a device, a folder, a huge file, a link; and
// saves that must keep what they replace.

#include "TempFiles.h"

#include "config/ConfigFile.h"
#include "config/ProgSett.h"
#include "config/SafeFile.h"
#include "config/ScanCfg.h"
#include "config/classMyIniFile.h"
#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "pages/Grids102.h"
#include "pages/xlsTool.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#ifdef Q_OS_LINUX
#include <sched.h>
#include <sys/mount.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {
// One way into the files: reads or writes path, true on success, message in error.
using FileCall = std::function<bool(const QString &path, QString &error)>;

bool ReadIni(const QString &path, QString &error)
{
    const TmyIniFile ini(path);
    error = ini.errorString();
    return ini.isLoaded();
}

bool SaveIni(const QString &path, QString &error)
{
    TmyIniFile ini(path);
    ini.mWriteString(u"S"_s, u"k"_s, u"v"_s);
    const bool ok = ini.isLoaded() && ini.UpdateFile();
    error = ini.errorString();
    return ok;
}

bool Goods(const PageResult &result, QString &error)
{
    error = result.message;
    return result.ok;
}

QMap<QString, FileCall> Readers()
{
    return {
        { u"ini store"_s, ReadIni },
        { u"settings"_s,
            [](const QString &p, QString &e) {
                TStructSetting s;
                return LoadIniSettings(p, s, &e);
            } },
        { u"scanner settings"_s,
            [](const QString &p, QString &e) {
                TScanCfg c;
                return LoadScanCfg(p, c, ScanCfgRead::Guarded, &e);
            } },
        { u"configuration"_s,
            [](const QString &p, QString &e) {
                const auto cfg = std::make_unique<TConfig>();
                return LoadConfigFile(p, *cfg, &e);
            } },
        { u"db102"_s,
            [](const QString &p, QString &e) { return Goods(LoadGoodsDb102(p, *MakeGrid(TableKind::Goods)), e); } },
        { u"1cdb"_s,
            [](const QString &p, QString &e) { return Goods(ImportGoods1C(p, *MakeGrid(TableKind::Goods)), e); } },
        { u"xls"_s, [](const QString &p, QString &e) { return Goods(LoadXls(p, *MakeGrid(TableKind::Goods)), e); } },
    };
}

QMap<QString, FileCall> Writers()
{
    return {
        { u"ini store"_s, SaveIni },
        { u"settings"_s, [](const QString &p, QString &e) { return SaveIniSettings(p, TStructSetting {}, &e); } },
        { u"scanner settings"_s, [](const QString &p, QString &e) { return SaveScanCfg(p, TScanCfg {}, &e); } },
        { u"configuration"_s,
            [](const QString &p, QString &e) {
                const auto cfg = std::make_unique<TConfig>();
                return SaveConfigFile(p, *cfg, &e);
            } },
        { u"db102"_s,
            [](const QString &p, QString &e) { return Goods(SaveGoodsDb102(p, *MakeGrid(TableKind::Goods)), e); } },
        { u"1cdb"_s,
            [](const QString &p, QString &e) { return Goods(ExportGoods1C(p, *MakeGrid(TableKind::Goods)), e); } },
    };
}

// Owner, group and others: what a file's mode holds (the "user" flags depend on who asks).
constexpr QFileDevice::Permissions kModeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
    | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
    | QFileDevice::WriteOther | QFileDevice::ExeOther;

// A small memory disk at folder, mounted in a mount namespace of this test's
// own (so nothing outside sees it, and it goes with the process), filled up to
// its last byte but for the files already on it. Needs the right to mount, as
// root in a container has. Empty text when mounted, else why not.
QString MountFullMemoryDisk(const QString &folder)
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        return u"mounting a small disk needs root"_s;
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return u"no mount namespace here: "_s + QString::fromLocal8Bit(std::strerror(errno));
    if (!QDir().mkpath(folder) || ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") != 0)
        return u"cannot mount a memory disk: "_s + QString::fromLocal8Bit(std::strerror(errno));
    return {};
#else
    Q_UNUSED(folder);
    return u"a memory disk is mounted only on Linux"_s;
#endif
}

// Takes the rest of the disk with one file, up to the last byte.
bool FillDisk(const QString &folder)
{
    QFile filler(folder + u"/filler"_s);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) { }
    return filler.size() > 100 * 1024;
}

bool IsFifo(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
#else
    Q_UNUSED(path);
    return false;
#endif
}
} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void readRefusesWhatIsNoRegularFile_data();
    void readRefusesWhatIsNoRegularFile();
    void saveLeavesWhatIsNoRegularFile_data();
    void saveLeavesWhatIsNoRegularFile();
    void readLimit();
    void namesThatLostTheirBytesAreNotWritten();
    void saveFollowsLinkAndKeepsMode();
    void saveInReadOnlyFolder();
    void fullDiskIsNamed();
    void realFullDiskKeepsPreviousFile();
    void inPlaceSaveOnAFullDiskKeepsPreviousFile();
    void readOnlyFileStaysReadOnly();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestHostileFiles::readRefusesWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<QString>("kind");
    for (const QString &reader : Readers().keys())
        for (const QString &kind : { u"FIFO"_s, u"device"_s, u"folder"_s })
            QTest::addRow("%s, %s", qPrintable(reader), qPrintable(kind)) << reader << kind;
}

// A FIFO would block the read for ever, a device may never end: refused at once, named.
void TestHostileFiles::readRefusesWhatIsNoRegularFile()
{
#ifndef Q_OS_UNIX
    QSKIP("FIFOs and device links are a Unix thing");
#endif
    QFETCH(QString, reader);
    QFETCH(QString, kind);
    const QString target = path(u"target"_s);
    QVERIFY(MakeNonRegular(target, kind));
    QString error;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!Readers().value(reader)(target, error));
    QVERIFY2(timer.elapsed() < 3000, "the refusal must come at once");
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QVERIFY2(error.contains(u"не является обычным файлом: это "_s + NonRegularName(kind)), qPrintable(error));
}

void TestHostileFiles::saveLeavesWhatIsNoRegularFile_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<bool>("throughLink");
    for (const QString &writer : Writers().keys()) {
        QTest::addRow("%s over a fifo", qPrintable(writer)) << writer << false;
        QTest::addRow("%s over a link to a fifo", qPrintable(writer)) << writer << true;
    }
}

// A save must never turn a device node or FIFO into a regular file.
void TestHostileFiles::saveLeavesWhatIsNoRegularFile()
{
#ifndef Q_OS_UNIX
    QSKIP("FIFOs are a Unix thing");
#endif
    QFETCH(QString, writer);
    QFETCH(bool, throughLink);
    const QString fifo = path(u"fifo"_s);
    QVERIFY(MakeNonRegular(fifo, u"FIFO"_s));
    const QString target = throughLink ? path(u"link"_s) : fifo;
    if (throughLink)
        QVERIFY(QFile::link(fifo, target));
    QString error;
    QVERIFY(!Writers().value(writer)(target, error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(target)), qPrintable(error));
    QVERIFY(IsFifo(fifo));
    if (throughLink)
        QCOMPARE(QFileInfo(target).symLinkTarget(), fifo);
}

void TestHostileFiles::readLimit()
{
    const QString big = path(u"big.conf"_s);
    QFile file(big);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(SafeFile::kMaxReadSize + 1)); // sparse: costs no disk
    file.close();
    for (const auto &[name, read] : Readers().asKeyValueRange()) {
        QString error;
        QVERIFY2(!read(big, error), qPrintable(name));
        QVERIFY2(error.contains(u"слишком велик"_s) && error.contains(big), qPrintable(name + u": "_s + error));
    }
    // At the limit a file is read.
    QVERIFY(file.resize(SafeFile::kMaxReadSize));
    QString error;
    const std::optional<QByteArray> bytes = SafeFile::ReadAll(big, &error);
    QVERIFY2(bytes, qPrintable(error));
    QCOMPARE(bytes->size(), SafeFile::kMaxReadSize);
}

// A file dialog shows a name whose bytes are no text with the replacement
// character; written under that text, the file would get another name.
void TestHostileFiles::namesThatLostTheirBytesAreNotWritten()
{
    const QString lossy = path(u"\uFFFD\uFFFD.ini"_s);
    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        QString error;
        QVERIFY2(!write(lossy, error), qPrintable(name));
        QVERIFY2(error.contains(u"под этим именем был бы записан другой файл"_s), qPrintable(name + u": "_s + error));
    }
    // A load that would create the file it is given.
    QVERIFY(!LoadGoodsDb102(lossy, *MakeGrid(TableKind::Goods)).ok);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList());
}

void TestHostileFiles::saveFollowsLinkAndKeepsMode()
{
    const QString real = path(u"real.ini"_s);
    const QString link = path(u"link.ini"_s);
    QVERIFY(WriteBytes(real, "[S]\r\nold=1\r\n"));
    QVERIFY(QFile::link(real, link));
    // The group may write, its owner may not: whoever saves (root, who may
    // write anything, included) leaves that as it is.
    const QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    QVERIFY(QFile::setPermissions(real, mode));
#ifdef Q_OS_UNIX
    const uint owner = ::geteuid() == 0 ? 65534 : ::geteuid(); // root saves a user's file: it stays the user's
    QVERIFY(::geteuid() != 0 || ::chown(QFile::encodeName(real).constData(), owner, 65534) == 0);
#endif
    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        QString error;
        QVERIFY2(write(link, error), qPrintable(name + u": "_s + error));
        QVERIFY2(QFileInfo(link).isSymLink(), qPrintable(name));
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QVERIFY2(QFileInfo(real).size() > 0, qPrintable(name));
        QCOMPARE(QFileInfo(real).permissions() & kModeBits, mode);
#ifdef Q_OS_UNIX
        QCOMPARE(QFileInfo(real).ownerId(), owner);
#endif
    }
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::System).size(), 2); // no temporary left
}

// A writable file in a folder that is not writable (a program installed for
// all users, a shared folder): the save writes in place.
void TestHostileFiles::saveInReadOnlyFolder()
{
#ifndef Q_OS_UNIX
    QSKIP("folder modes are a Unix thing here");
#else
    QDir().mkdir(path(u"ro"_s));
    const QString file = path(u"ro/ProgSett.ini"_s);
    QVERIFY(WriteBytes(file, "[COMMON]\r\nNumKKT=1\r\n"));
    const auto save = [&] {
        TStructSetting sett;
        sett.NumKKT = 7;
        QString error;
        return SaveIniSettings(file, sett, &error);
    };
    QVERIFY(QFile::setPermissions(path(u"ro"_s),
        QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther | QFileDevice::ExeOther
            | QFileDevice::ReadGroup | QFileDevice::ExeGroup));
    if (::geteuid() != 0) {
        QVERIFY(save());
    } else {
        // Root writes into any folder: the save is made as an ordinary user.
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0666) == 0);
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            ::_exit(save() ? 0 : 1);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }
    QVERIFY(ReadBytes(file).contains("NumKKT=7"));
    QFile::setPermissions(path(u"ro"_s), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

void TestHostileFiles::fullDiskIsNamed()
{
    if (!FileSizeLimit::supported())
        QSKIP("no file size limit on this platform");
    const QByteArray previous = "[S]\r\nk=old\r\n\r\n";
    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        const QString target = path(u"full.ini"_s);
        QVERIFY(WriteBytes(target, previous));
        QString error;
        {
            const FileSizeLimit limit(8); // every save here writes more
            QVERIFY2(!write(target, error), qPrintable(name));
        }
        QVERIFY2(!error.contains(u"Unknown error"_s) && error.contains(QDir::toNativeSeparators(target)),
            qPrintable(name + u": "_s + error));
        QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(EFBIG))), qPrintable(name + u": "_s + error));
        QCOMPARE(ReadBytes(target), previous);
    }
}

// A real file system that fills up: a small memory disk, mounted in a mount
// namespace of this test's own (so nothing outside sees it, and it goes with
// the process). Needs the right to mount, as root in a container has.
void TestHostileFiles::realFullDiskKeepsPreviousFile()
{
    const QString disk = path(u"disk"_s);
    const QByteArray previous = "[S]\r\nk=old\r\n\r\n";
    const QString target = disk + u"/full.ini"_s;
    if (const QString refused = MountFullMemoryDisk(disk); !refused.isEmpty())
        QSKIP(qPrintable(refused));
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    QVERIFY(WriteBytes(target, previous));
    QVERIFY(FillDisk(disk));

    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        QString error;
        QVERIFY2(!write(target, error), qPrintable(name));
        QVERIFY2(error.contains(u"на диске нет свободного места"_s) && error.contains(QDir::toNativeSeparators(target)),
            qPrintable(name + u": "_s + error));
        QCOMPARE(ReadBytes(target), previous);
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left behind
    }
}

// The same full disk, with the file in a folder that takes no new file: the
// save goes in place, and must not begin where the whole does not fit.
void TestHostileFiles::inPlaceSaveOnAFullDiskKeepsPreviousFile()
{
#ifdef Q_OS_LINUX
    const QString disk = path(u"disk"_s);
    const QString folder = disk + u"/ro"_s;
    const QString target = folder + u"/full.ini"_s;
    const QByteArray previous = "[S]\r\nk=old\r\n\r\n";
    if (const QString refused = MountFullMemoryDisk(disk); !refused.isEmpty())
        QSKIP(qPrintable(refused));
    const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(disk).constData(), MNT_DETACH); });
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
    QVERIFY(WriteBytes(target, previous));
    QVERIFY(FillDisk(disk));
    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        QVERIFY(WriteBytes(target, previous)); // within the page the file has
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0666) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        // Root writes into any folder: the save is made as an ordinary user.
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            QString error;
            if (write(target, error))
                ::_exit(0);
            const bool told = error.contains(u"на диске нет свободного места; прежний файл не изменён."_s);
            ::_exit(told ? 1 : 2);
        }
        int status = -1;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        const QByteArray after = ReadBytes(target);
        // A file still within the page it had fits; anything larger is refused whole.
        if (WEXITSTATUS(status) == 0)
            QVERIFY2(after != previous && after.size() <= 4096, qPrintable(name));
        else
            QCOMPARE(after, previous);
        QVERIFY2(WEXITSTATUS(status) <= 1, qPrintable(name));
        if (name == u"db102"_s || name == u"configuration"_s || name == u"1cdb"_s)
            QVERIFY2(WEXITSTATUS(status) == 1, qPrintable(name));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { u"full.ini"_s });
    }
#else
    QSKIP("a memory disk is mounted only on Linux");
#endif
}

// A file that nobody may write stays as it is, though root could write it.
void TestHostileFiles::readOnlyFileStaysReadOnly()
{
    const QString target = path(u"ro.ini"_s);
    const QByteArray previous = "[S]\r\nk=old\r\n\r\n";
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QVERIFY(WriteBytes(target, previous));
    QVERIFY(QFile::setPermissions(target, readOnly));
    for (const auto &[name, write] : Writers().asKeyValueRange()) {
        QString error;
        QVERIFY2(!write(target, error), qPrintable(name));
        QVERIFY2(error.endsWith(u"Не удалось записать файл \"%1\": файл только для чтения; он не изменён."_s.arg(
                     QDir::toNativeSeparators(target))),
            qPrintable(name + u": "_s + error));
        QCOMPARE(ReadBytes(target), previous);
        QCOMPARE(QFileInfo(target).permissions() & kModeBits, readOnly);
    }
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "TestHostileFiles.moc"
