// The language the programs speak, chosen from the desktop's settings: the choice
// itself, and what the window program and the cutter then say.
#include "core/language.h"
#include "processrun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const char *const Variables[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

// What a run says, in either language.
struct Said {
    const char *chinese, *english;
};
const Said CutterHelp{"用法: tesselkraft-cut", "Usage: tesselkraft-cut"};
const Said NotAPicture{"：不是支持的图片格式\n", ": not a supported picture format\n"};
// The system's own text follows, as the system gives it.
const Said NoSuchFile{"：文件或文件夹不存在（", ": no such file or folder ("};
const Said WindowUsage{"tesselkraft: --fit 只能是 stretch", "tesselkraft: --fit must be stretch"};

QByteArray said(const Said &text, bool english)
{
    return english ? text.english : text.chinese;
}

} // namespace

class TstLanguage : public QObject {
    Q_OBJECT
private slots:
    void choiceFollowsTheSettings_data();
    void choiceFollowsTheSettings();
    void programsSpeakTheChosenLanguage_data();
    void programsSpeakTheChosenLanguage();

private:
    QTemporaryDir m_dir;
};

void TstLanguage::choiceFollowsTheSettings_data()
{
    // LANGUAGE, LC_ALL, LC_MESSAGES, LANG; whether English is spoken
    QTest::addColumn<QByteArrayList>("settings");
    QTest::addColumn<bool>("english");
    QTest::newRow("nothing set") << QByteArrayList{"", "", "", ""} << false;
    QTest::newRow("C ignores LANGUAGE") << QByteArrayList{"en", "", "", "C"} << false;
    QTest::newRow("C.UTF-8 ignores LANGUAGE")
        << QByteArrayList{"en_US", "", "", "C.UTF-8"} << false;
    QTest::newRow("POSIX in LC_ALL over an English LANG")
        << QByteArrayList{"", "POSIX", "", "en_US.UTF-8"} << false;
    QTest::newRow("Chinese desktop") << QByteArrayList{"", "", "", "zh_CN.UTF-8"} << false;
    QTest::newRow("English desktop") << QByteArrayList{"", "", "", "en_US.UTF-8"} << true;
    QTest::newRow("English before Chinese in LANGUAGE")
        << QByteArrayList{"en_GB:zh_CN", "", "", "zh_CN.UTF-8"} << true;
    QTest::newRow("Chinese before English in LANGUAGE")
        << QByteArrayList{"zh_TW:en", "", "", "en_US.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES over LANG")
        << QByteArrayList{"", "", "en_GB.UTF-8", "zh_CN.UTF-8"} << true;
    QTest::newRow("LC_ALL over LC_MESSAGES")
        << QByteArrayList{"", "zh_CN.UTF-8", "en_US.UTF-8", ""} << false;
    QTest::newRow("a language without a translation")
        << QByteArrayList{"", "", "", "de_DE.UTF-8"} << false;
    QTest::newRow("English after a language without one")
        << QByteArrayList{"de:en", "", "", "de_DE.UTF-8"} << true;
}

void TstLanguage::choiceFollowsTheSettings()
{
    QFETCH(QByteArrayList, settings);
    QFETCH(bool, english);
    const tk::LocaleSettings locale{settings[0], settings[1], settings[2], settings[3]};
    QCOMPARE(tk::chooseLanguage(locale).language == tk::Language::English, english);
}

void TstLanguage::programsSpeakTheChosenLanguage_data()
{
    QTest::addColumn<QByteArrayList>("settings");
    QTest::addColumn<bool>("english");
    QTest::newRow("C") << QByteArrayList{"en", "", "", "C"} << false;
    QTest::newRow("Chinese desktop") << QByteArrayList{"", "", "", "zh_CN.UTF-8"} << false;
    QTest::newRow("English desktop") << QByteArrayList{"", "", "", "en_US.UTF-8"} << true;
    QTest::newRow("English before Chinese in LANGUAGE")
        << QByteArrayList{"en_GB:zh_CN", "", "", "zh_CN.UTF-8"} << true;
}

void TstLanguage::programsSpeakTheChosenLanguage()
{
    // The programs, started with exactly these settings.
    QFETCH(QByteArrayList, settings);
    QFETCH(bool, english);
    QByteArrayList saved;
    for (int k = 0; k < 4; ++k) {
        saved << qgetenv(Variables[k]);
        settings[k].isEmpty() ? qunsetenv(Variables[k]) : qputenv(Variables[k], settings[k]);
    }
    const QByteArray notAPicture = QFile::encodeName(m_dir.filePath("photo.jpg"));
    QFile file(QFile::decodeName(notAPicture));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("no picture") > 0);
    file.close();
    const ProcessRun help = runProcess(TK_CUTTER, {"--help"});
    const ProcessRun cut = runProcess(TK_CUTTER, {notAPicture, notAPicture + ".missing"});
    const ProcessRun window = runProcess(TK_WINDOW, {"--fit", "wrong"});
    for (int k = 0; k < 4; ++k)
        saved[k].isNull() ? qunsetenv(Variables[k]) : qputenv(Variables[k], saved[k]);

    QVERIFY2(help.out.startsWith(said(CutterHelp, english)), help.out.constData());
    QCOMPARE(cut.exitCode, 1);
    QVERIFY2(cut.err.contains(said(NotAPicture, english)), cut.err.constData());
    QVERIFY2(cut.err.contains(said(NoSuchFile, english)), cut.err.constData());
    QCOMPARE(window.exitCode, 2);
    QVERIFY2(window.err.contains(said(WindowUsage, english)), window.err.constData());
}

QTEST_GUILESS_MAIN(TstLanguage)
#include "tst_language.moc"
