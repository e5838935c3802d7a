// kestrel-cli ports, detect and doctor against virtual radios and silent devices on
// real pseudo-terminals; the user's groups supplied through the environment.
#include "ports/SystemChecks.h"
#include "tests/link/LinkTestData.h"
#include "tests/support/SilentPty.h"
#include "tests/support/TestFiles.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace kestrel;
using namespace kestrel::test;

namespace {

class CliCableTest : public ::testing::Test {
protected:
    CliCableTest() {
        for (int i = 0; i < 8; ++i)
            silent.push_back(std::make_unique<SilentPty>());
        env.insert(QStringLiteral("KESTREL_COM12"), radio.device());
        for (int i = 0; i < 8; ++i)
            env.insert(QStringLiteral("KESTREL_COM%1").arg(13 + i), silent[size_t(i)]->device());
    }
    RadioSim radio{{"--band-code", "2", "--version", "1.5", "12.30"}};
    std::vector<std::unique_ptr<SilentPty>> silent;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

TEST_F(CliCableTest, PortsListsMappedDevicesWithTheirState) {
    env.insert(QStringLiteral("KESTREL_COM9"), QStringLiteral("/dev/kestrel-no-such-port"));
    const CliOutput r = RunKestrelCli({"ports"}, env);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = TextLines(r.out);
    EXPECT_TRUE(lines.contains(QStringLiteral("Com12\t%1\t\t\t\tok").arg(radio.device())))
        << r.out.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("Com9\t/dev/kestrel-no-such-port\t\t\t\tmissing")));
    for (const QString& line : lines)
        EXPECT_EQ(line.count(QLatin1Char('\t')), 5) << line.toStdString();
    EXPECT_EQ(RunKestrelCli({"ports", "extra"}, env).status, 1);
}

TEST_F(CliCableTest, DetectFindsTheRadioAmongSilentDevices) {
    QElapsedTimer t;
    t.start();
    const CliOutput found = RunKestrelCli({"detect"}, env);
    std::printf("detect over 9 devices, 8 silent: %lld ms\n", static_cast<long long>(t.elapsed()));
    EXPECT_EQ(found.status, 0) << found.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(found.out),
              QStringLiteral("Com12\t%1\t400-470 MHz\t1.5\t12.30\n").arg(radio.device()));
    EXPECT_LT(t.elapsed(), 20000);

    env.remove(QStringLiteral("KESTREL_COM12"));
    const CliOutput none = RunKestrelCli({"detect"}, env);
    EXPECT_EQ(none.status, 3);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_TRUE(none.err.contains(QStringLiteral("no radio answered")));
}

TEST_F(CliCableTest, DoctorOnAPortAndWithSuppliedGroups) {
    const QString group = SerialGroup();
    struct {
        QStringList args;
        const char* listed; // nullptr: the system's own groups
        const char* session;
        int status;
        QString says;
    } cases[] = {
        {{"--port", "Com12"}, nullptr, nullptr, 0, "radio answers: 400-470 MHz, versions 1.5 / 12.30"},
        {{"--port", silent[0]->device()}, nullptr, nullptr, 3, "no answer from the radio"},
        {{"--port", "/dev/kestrel-no-such-port"}, nullptr, nullptr, 2, "does not open at 9600 8N1"},
        {{},
         "plugdev",
         "plugdev",
         2,
         QStringLiteral("fix: add yourself: sudo usermod -aG %1 $USER, then log out and in again")
             .arg(group)},
        {{},
         "plugdev,GROUP",
         "plugdev",
         2,
         QStringLiteral("this login session does not have it yet\n         fix: log out and in again")},
        {{},
         "GROUP",
         "GROUP",
         0,
         QStringLiteral("You may open serial devices: this session has the %1 group").arg(group)},
        {{"--port", "Com12"}, "plugdev", "plugdev", 0, "radio answers"}, // the port opened all the same
    };
    for (const auto& c : cases) {
        QProcessEnvironment e = env;
        if (c.listed) {
            e.insert(QStringLiteral("KESTREL_GROUPS_LISTED"),
                     QString::fromLatin1(c.listed).replace("GROUP", group));
            e.insert(QStringLiteral("KESTREL_GROUPS_SESSION"),
                     QString::fromLatin1(c.session).replace("GROUP", group));
        }
        const CliOutput r = RunKestrelCli(QStringList{"doctor"} + c.args, e);
        const QString out = QString::fromUtf8(r.out);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << "\n" << out.toStdString();
        EXPECT_TRUE(out.contains(c.says)) << out.toStdString();
    }
    EXPECT_EQ(RunKestrelCli({"doctor", "--port", "Com21"}, env).status, 1);
}

} // namespace
