#include "ports/SystemChecks.h"

#include "core/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <vector>

#ifndef Q_OS_WIN
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrel {

namespace {

QString ProcessName(const QString& procRoot, qint64 pid) {
    QFile f(QStringLiteral("%1/%2/comm").arg(procRoot).arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(f.readAll()).trimmed();
}

QList<qint64> Pids(const QString& procRoot) {
    QList<qint64> out;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& e : entries) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (ok && pid > 0)
            out << pid;
    }
    return out;
}

QString Canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QFileInfo(path).absoluteFilePath() : c;
}

// The pseudo-terminal number of "/dev/pts/N"; -1 for any other device.
int PtyIndex(const QString& canonicalDevice) {
    static const QString prefix = QStringLiteral("/dev/pts/");
    if (!canonicalDevice.startsWith(prefix))
        return -1;
    bool ok = false;
    const int n = canonicalDevice.mid(prefix.size()).toInt(&ok);
    return ok ? n : -1;
}

// Whether the open file `fd` of process `pid` is the master of pseudo-terminal `index`.
bool IsPtyMaster(const QString& procRoot, qint64 pid, const QString& fd, int index) {
    QFile info(QStringLiteral("%1/%2/fdinfo/%3").arg(procRoot).arg(pid).arg(fd));
    if (!info.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = info.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("tty-index:"))
            return line.mid(10).trimmed().toInt() == index;
    }
    return false;
}

// Owners of lock files for the device, as programs that lock serial ports write them.
QList<qint64> LockOwners(const QString& device, const QString& canonicalDevice, const QString& procRoot) {
    QSet<QString> names;
    for (const QString& path : {device, canonicalDevice}) {
        QString n = path;
        if (n.startsWith(QLatin1String("/dev/")))
            n = n.mid(5);
        names.insert(QStringLiteral("LCK..") + n.replace(QLatin1Char('/'), QLatin1Char('_')));
    }
    const QStringList folders = {
        QStringLiteral("/var/lock"),       QStringLiteral("/run/lock"),
        QStringLiteral("/etc/locks"),      QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"), QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    QList<qint64> out;
    for (const QString& folder : folders) {
        for (const QString& name : names) {
            QFile f(QDir(folder).filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const qint64 pid = f.readLine(64).trimmed().toLongLong();
            if (pid > 0 && QFileInfo::exists(QStringLiteral("%1/%2").arg(procRoot).arg(pid)) &&
                !out.contains(pid))
                out << pid;
        }
    }
    return out;
}

QStringList SplitGroups(const QByteArray& text) {
    QStringList out;
    for (const QString& g : QString::fromLocal8Bit(text).split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!g.trimmed().isEmpty())
            out << g.trimmed();
    return out;
}

#ifndef Q_OS_WIN
QString GroupName(gid_t gid) {
    const group* g = getgrgid(gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid);
}

bool GroupExists(const char* name) {
    return getgrnam(name) != nullptr;
}
#endif

} // namespace

QList<ProcessInfo> RunningProcesses(const QString& procRoot) {
    QList<ProcessInfo> out;
    for (qint64 pid : Pids(procRoot)) {
        const QString name = ProcessName(procRoot, pid);
        if (!name.isEmpty())
            out << ProcessInfo{pid, name};
    }
    return out;
}

QList<ProcessInfo> ProcessesHoldingDevice(const QString& device, const QString& procRoot) {
    QList<ProcessInfo> out;
    if (device.isEmpty())
        return out;
    const QString target = Canonical(device);
    const int pty = PtyIndex(target);
    QSet<qint64> seen;
    for (qint64 pid : Pids(procRoot)) {
        const QString fdDir = QStringLiteral("%1/%2/fd").arg(procRoot).arg(pid);
        const QStringList fds =
            QDir(fdDir).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        bool holds = false;
        bool master = false;
        for (const QString& fd : fds) {
            const QString link = QFile::symLinkTarget(fdDir + QLatin1Char('/') + fd);
            if (link == target)
                holds = true;
            else if (pty >= 0 && link.endsWith(QLatin1String("ptmx")) && IsPtyMaster(procRoot, pid, fd, pty))
                master = true;
        }
        if (holds && !master) {
            out << ProcessInfo{pid, ProcessName(procRoot, pid)};
            seen.insert(pid);
        }
        if (master)
            seen.insert(pid); // the other end of the terminal, not a rival
    }
    for (qint64 pid : LockOwners(device, target, procRoot))
        if (!seen.contains(pid))
            out << ProcessInfo{pid, ProcessName(procRoot, pid)};
    return out;
}

QList<ProcessInfo> KnownPortTakers(const QList<ProcessInfo>& processes) {
    QList<ProcessInfo> out;
    for (const ProcessInfo& p : processes)
        if (p.name == QLatin1String("ModemManager") || p.name.startsWith(QLatin1String("brltty")))
            out << p;
    return out;
}

QString DescribeProcesses(const QList<ProcessInfo>& processes) {
    QStringList parts;
    for (const ProcessInfo& p : processes)
        parts
            << QStringLiteral("%1 (PID %2)").arg(p.name.isEmpty() ? QStringLiteral("?") : p.name).arg(p.pid);
    return parts.join(QStringLiteral(", "));
}

UserGroups CurrentUserGroups() {
    UserGroups g;
    const bool listedSet = qEnvironmentVariableIsSet("KESTREL_GROUPS_LISTED");
    const bool sessionSet = qEnvironmentVariableIsSet("KESTREL_GROUPS_SESSION");
    if (listedSet || sessionSet) {
        g.known = true;
        g.listed = SplitGroups(qgetenv("KESTREL_GROUPS_LISTED"));
        g.session = SplitGroups(qgetenv("KESTREL_GROUPS_SESSION"));
        return g;
    }
#ifndef Q_OS_WIN
    g.known = true;
    g.superuser = geteuid() == 0;
    // This session's groups.
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> ids(static_cast<size_t>(count));
        const int n = getgroups(count, ids.data());
        for (int i = 0; i < n; ++i)
            g.session << GroupName(ids[size_t(i)]);
    }
    g.session << GroupName(getegid());
    // The groups the user database lists for the user now.
    if (const passwd* pw = getpwuid(getuid())) {
        int n = 64;
        std::vector<gid_t> ids(static_cast<size_t>(n));
        if (getgrouplist(pw->pw_name, pw->pw_gid, ids.data(), &n) < 0 && n > 0) {
            ids.resize(size_t(n));
            getgrouplist(pw->pw_name, pw->pw_gid, ids.data(), &n);
        }
        for (int i = 0; i < n && i < int(ids.size()); ++i)
            g.listed << GroupName(ids[size_t(i)]);
    }
    g.session.removeDuplicates();
    g.listed.removeDuplicates();
#endif
    return g;
}

QString SerialGroup(const QString& device) {
#ifndef Q_OS_WIN
    QStringList candidates;
    if (!device.isEmpty())
        candidates << device;
    for (const char* pattern : {"ttyUSB*", "ttyACM*"})
        for (const QString& name :
             QDir(QStringLiteral("/dev")).entryList({QString::fromLatin1(pattern)}, QDir::System))
            candidates << QStringLiteral("/dev/") + name;
    for (const QString& c : candidates) {
        struct stat st {};
        if (::stat(QFile::encodeName(c).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
            continue;
        const QString name = GroupName(st.st_gid);
        if (st.st_gid != 0 && name != QLatin1String("tty"))
            return name;
    }
    if (!GroupExists("dialout") && GroupExists("uucp"))
        return QStringLiteral("uucp");
#else
    Q_UNUSED(device);
#endif
    return QStringLiteral("dialout");
}

GroupAccess CheckGroupAccess(const UserGroups& groups, const QString& group) {
    if (!groups.known || group.isEmpty())
        return GroupAccess::NotApplicable;
    if (groups.superuser || groups.session.contains(group))
        return GroupAccess::Member;
    return groups.listed.contains(group) ? GroupAccess::NotInSession : GroupAccess::NotListed;
}

Advice GroupAdvice(GroupAccess access, const QString& group, quint8 language) {
    switch (access) {
    case GroupAccess::NotListed:
        return {Pick(language, "You are not in the %1 group, which serial devices belong to",
                     "当前用户不在 %1 组中，而串口设备属于该组")
                    .arg(group),
                Pick(language, "add yourself: sudo usermod -aG %1 $USER, then log out and in again",
                     "把自己加入该组：sudo usermod -aG %1 $USER，然后注销并重新登录")
                    .arg(group)};
    case GroupAccess::NotInSession:
        return {Pick(language, "You are in the %1 group, but this login session does not have it yet",
                     "当前用户已在 %1 组中，但本次登录会话还没有该组")
                    .arg(group),
                Pick(language, "log out and in again", "注销并重新登录")};
    case GroupAccess::Member:
    case GroupAccess::NotApplicable:
        break;
    }
    return {};
}

} // namespace kestrel
