// The Direct Teaching polling of both kinds on the in-process virtual controller: the port stays
// open from one position read to the next and is closed however the teaching ends.
#include "DriveRig.h"

#include <QtTest>

using Answer = OperatorInteraction::Answer;

class TestTeachingPoll : public QObject {
    Q_OBJECT
  private slots:
    void portOpenOnlyWhileTeachingPolls_data();
    void portOpenOnlyWhileTeachingPolls();
};

void TestTeachingPoll::portOpenOnlyWhileTeachingPolls_data() {
    QTest::addColumn<bool>("pulse");
    QTest::addColumn<QString>("end");
    for (const bool pulse : {false, true}) {
        for (const char* end : {"Numeric Input", "Setting", "SET", "refused", "closed"}) {
            if (!pulse || QByteArray(end) != "Numeric Input")
                QTest::addRow("%s, %s", pulse ? "pulse" : "point", end) << pulse << QString(end);
        }
    }
    // Both kinds end alike after a failed read: once is enough for the 5 s time-out.
    QTest::addRow("point, no reply") << false << QString("no reply");
}

void TestTeachingPoll::portOpenOnlyWhileTeachingPolls() {
    QFETCH(bool, pulse);
    QFETCH(QString, end);
    auto run = [&end](auto& r, auto&& start, auto&& teaching) {
        start(); // return to origin and servo off answered Yes
        QVERIFY(teaching());
        r.controller.clearReceived();
        const auto reads = [&r] { return r.lines().count("@?POS ,\r\n"); };
        QTRY_VERIFY(reads() >= 2);
        const int opens = r.channel.opens();
        QTRY_VERIFY(reads() >= 4);
        QCOMPARE(r.channel.opens(), opens);
        QVERIFY(r.channel.isOpen());

        if (end == "SET") {
            r.op.answers = {Answer::Yes, Answer::No}; // terminate, no return to origin
            r.panel.setClicked();
        } else if (end == "Setting") {
            r.panel.settingClicked();
        } else if (end == "refused") {
            r.controller.setNgFor("@?POS");
        } else if (end == "no reply") {
            r.controller.setSilentFor("@?POS");
        } else if (end == "closed") {
            r.panel.stopForExit();
        } else if constexpr (requires { r.panel.teachingSelected(0); }) {
            r.panel.teachingSelected(0); // Numeric Input
        }
        QTRY_VERIFY_WITH_TIMEOUT(!teaching() || end == "closed", 8000);
        QVERIFY(!r.channel.isOpen());
    };
    if (pulse) {
        PulseDriveRig r;
        run(
            r, [&r] { r.panel.teachClicked(false); }, [&r] { return r.panel.teaching(); });
    } else {
        DriveRig r;
        run(
            r, [&r] { r.panel.teachingSelected(1); }, [&r] { return r.panel.teachingOpen(); });
    }
}

QTEST_GUILESS_MAIN(TestTeachingPoll)
#include "tst_teachingpoll.moc"
