#pragma once
// What the operating system says about the user and the serial devices: group
// membership, the processes that hold a device open and the services known to
// take USB serial adapters. GUI-free: the cable check, the port list and the
// port error texts present these facts.
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

struct ProcessInfo {
    qint64 pid = 0;
    QString name;
    bool operator==(const ProcessInfo& o) const { return pid == o.pid && name == o.name; }
};

// The running processes, from /proc; empty where there is none.
QList<ProcessInfo> RunningProcesses(const QString& procRoot = QStringLiteral("/proc"));

// The processes that have `device` open, as far as the system lets us look: every
// process whose open files we may read, and the owner of a UUCP-style lock file
// (LCK..name) that is still running. The process at the other end of a
// pseudo-terminal (the one holding its master) is the device itself, not a rival.
QList<ProcessInfo> ProcessesHoldingDevice(const QString& device,
                                          const QString& procRoot = QStringLiteral("/proc"));

// The processes among `processes` known to take USB serial adapters for
// themselves: ModemManager and brltty.
QList<ProcessInfo> KnownPortTakers(const QList<ProcessInfo>& processes);

// "minicom (PID 4242), screen (PID 4250)".
QString DescribeProcesses(const QList<ProcessInfo>& processes);

struct UserGroups {
    bool known = false;     // false where groups decide nothing (Windows)
    bool superuser = false; // may open any device
    QStringList listed;     // groups the user database lists for the user
    QStringList session;    // groups this login session has
};

// The user's groups. KESTREL_GROUPS_LISTED and KESTREL_GROUPS_SESSION (comma-
// separated names) stand in for the system's answer when either is set, so that
// tests and support can reproduce a user's situation.
UserGroups CurrentUserGroups();

// The group serial devices belong to: the group of `device`, or without one of
// the first USB serial device present, unless that is root's or the terminals'
// group; otherwise dialout, or uucp where only that exists (Arch).
QString SerialGroup(const QString& device = QString());

enum class GroupAccess {
    Member,       // the session has the group (or the user may open anything)
    NotListed,    // the user is not in the group
    NotInSession, // the user was added, but this login session does not have it yet
    NotApplicable // groups decide nothing here
};
GroupAccess CheckGroupAccess(const UserGroups& groups, const QString& group);

// What is wrong and what to do about it, in the language chosen; both empty when
// nothing is wrong. Neither ends with a full stop.
struct Advice {
    QString problem;
    QString fix;
    bool isEmpty() const { return problem.isEmpty(); }
};
Advice GroupAdvice(GroupAccess access, const QString& group, quint8 language);

} // namespace kestrel
