// The settings file's text is read and changed as the platform's private-profile
// functions do it: the reading rules, integer conversion, and writes that leave every
// other byte as it was.

#include "store/private_profile.h"

#include <QTest>

class TestSettingsProfile : public QObject {
    Q_OBJECT
private slots:
    void readingRules_data();
    void readingRules();
    void integers_data();
    void integers();
    void longValueIsCut();
    void writeReplacesOnlyTheKeysLine();
    void writeAddsKeyAtEndOfItsSection();
    void writeAddsSectionAtEndWithoutBlankLine();
    void writeKeepsAValueOnOneLine();
    void readsAndUnchangedWritesKeepTheTextUncopied();
};

void TestSettingsProfile::readingRules_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("key"); // in section "Ranking"
    QTest::addColumn<QString>("expected");
    const QString def = QStringLiteral("DEFAULT");
    QTest::newRow("plain") << "[Ranking]\nname0=Taro\n"
                           << "name0"
                           << "Taro";
    QTest::newRow("names match without case") << "[RANKING]\nNAME0=Taro\n"
                                              << "name0"
                                              << "Taro";
    QTest::newRow("blanks around names and value")
        << "  [ Ranking ]  \n\t name0 \t=   Taro Yamada  \n"
        << "name0"
        << "Taro Yamada";
    QTest::newRow("first key wins") << "[Ranking]\nname0=one\nname0=two\n"
                                    << "name0"
                                    << "one";
    QTest::newRow("first section wins") << "[Ranking]\nname0=one\n[Ranking]\nname0=two\n"
                                        << "name0"
                                        << "one";
    QTest::newRow("key of another section") << "[Back]\nname0=x\n[Ranking]\nname1=y\n"
                                            << "name0" << def;
    QTest::newRow("before any section") << "name0=x\n[Ranking]\n"
                                        << "name0" << def;
    QTest::newRow("missing section") << "[Position]\nxpos=1\n"
                                     << "name0" << def;
    QTest::newRow("empty value is empty, not the default") << "[Ranking]\nname0=\n"
                                                           << "name0"
                                                           << "";
    QTest::newRow("double quotes") << "[Ranking]\nname0=\"  Taro \"\n"
                                   << "name0"
                                   << "  Taro ";
    QTest::newRow("single quotes") << "[Ranking]\nname0='Taro'\n"
                                   << "name0"
                                   << "Taro";
    QTest::newRow("unmatched quotes stay") << "[Ranking]\nname0=\"Taro'\n"
                                           << "name0"
                                           << "\"Taro'";
    QTest::newRow("a lone quote stays") << "[Ranking]\nname0=\"\n"
                                        << "name0"
                                        << "\"";
    QTest::newRow("no inline comments") << "[Ranking]\nname0=v ;x\n"
                                        << "name0"
                                        << "v ;x";
    QTest::newRow("line without = never matches") << "[Ranking]\nname0\nname0=2\n"
                                                  << "name0"
                                                  << "2";
    QTest::newRow("value with =") << "[Ranking]\nname0=a=b\n"
                                  << "name0"
                                  << "a=b";
    QTest::newRow("value with [") << "[Ranking]\nname0=[x]\n"
                                  << "name0"
                                  << "[x]";
    QTest::newRow("CR line endings") << "[Ranking]\rname0=cr\r"
                                     << "name0"
                                     << "cr";
    QTest::newRow("CRLF, no final line end") << "[Ranking]\r\nname0=crlf"
                                             << "name0"
                                             << "crlf";
    QTest::newRow("ideographic space is no blank")
        << QStringLiteral("[Ranking]\nname0=　山田 太郎　\n") << "name0"
        << QStringLiteral("　山田 太郎　");
    QTest::newRow("comment line") << "[Ranking]\n;name0=x\nname0=y\n"
                                  << "name0"
                                  << "y";
}

void TestSettingsProfile::readingRules() {
    QFETCH(QString, text);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const PrivateProfile profile(text);
    QCOMPARE(profile.readString(QStringLiteral("Ranking"), key, QStringLiteral("DEFAULT")),
             expected);
}

void TestSettingsProfile::integers_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected"); // default 55
    QTest::newRow("decimal") << "100" << 100;
    QTest::newRow("negative") << "-20" << -20;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("blanks around") << "  42  " << 42;
    QTest::newRow("quoted") << "\"42\"" << 42;
    QTest::newRow("letters") << "abc" << 55;
    QTest::newRow("trailing letters") << "12abc" << 55;
    QTest::newRow("inner blank") << "4 2" << 55;
    QTest::newRow("empty") << "" << 55;
    QTest::newRow("sign alone") << "-" << 55;
    QTest::newRow("hex") << "0x10" << 16;
    QTest::newRow("hex capital X, mixed case") << "0XfF" << 255;
    QTest::newRow("0x alone") << "0x" << 55;
    QTest::newRow("bad hex") << "0x1g" << 55;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("overflow") << "2147483648" << 55;
    QTest::newRow("long overflow") << "99999999999999999999999" << 55;
    QTest::newRow("hex 32-bit pattern") << "0xFFFFFFFF" << -1;
    QTest::newRow("hex overflow") << "0x100000000" << 55;
}

void TestSettingsProfile::integers() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    const PrivateProfile profile(QStringLiteral("[Position]\nxpos=") + value + QLatin1Char('\n'));
    QCOMPARE(profile.readInt(QStringLiteral("Position"), QStringLiteral("xpos"), 55), expected);
    QCOMPARE(PrivateProfile().readInt(QStringLiteral("Position"), QStringLiteral("xpos"), 55), 55);
}

void TestSettingsProfile::longValueIsCut() {
    const QString value(3000, QLatin1Char('x'));
    const PrivateProfile profile(QStringLiteral("[Ranking]\nname0=") + value);
    QCOMPARE(profile.readString(QStringLiteral("Ranking"), QStringLiteral("name0"), QString()),
             QString(2047, QLatin1Char('x')));
}

namespace {
// Unknown content, odd spacing and CRLF line ends that must all survive.
const QString original = QStringLiteral("; my notes\r\n"
                                        "[Position]\r\n"
                                        "  XPOS = 12 \r\n"
                                        "ypos=5\r\n"
                                        "colour=blue\r\n"
                                        "\r\n"
                                        "[Extra]\r\n"
                                        "keep=me ;really\r\n"
                                        "[Ranking]\r\n"
                                        "name0=Taro");
} // namespace

void TestSettingsProfile::writeReplacesOnlyTheKeysLine() {
    PrivateProfile profile(original);
    QCOMPARE(profile.text(), original);
    profile.writeString(QStringLiteral("position"), QStringLiteral("xpos"), QStringLiteral("99"));
    QString expected = original;
    expected.replace(QStringLiteral("  XPOS = 12 \r\n"), QStringLiteral("XPOS=99\r\n"));
    QCOMPARE(profile.text(), expected);
    // The last line keeps having no line end.
    profile.writeString(QStringLiteral("Ranking"), QStringLiteral("name0"), QStringLiteral("Hana"));
    expected.replace(QStringLiteral("name0=Taro"), QStringLiteral("name0=Hana"));
    QCOMPARE(profile.text(), expected);
}

void TestSettingsProfile::writeAddsKeyAtEndOfItsSection() {
    PrivateProfile profile(original);
    // After the section's last line that is not blank, with the file's line end.
    profile.writeString(QStringLiteral("Position"), QStringLiteral("width"), QStringLiteral("3"));
    QString expected = original;
    expected.replace(QStringLiteral("colour=blue\r\n"),
                     QStringLiteral("colour=blue\r\nwidth=3\r\n"));
    QCOMPARE(profile.text(), expected);
    // At the end of the text, whose last line then gets a line end.
    profile.writeString(QStringLiteral("Ranking"), QStringLiteral("number0"),
                        QStringLiteral("5:1;2"));
    expected += QStringLiteral("\r\nnumber0=5:1;2\r\n");
    QCOMPARE(profile.text(), expected);
}

void TestSettingsProfile::writeAddsSectionAtEndWithoutBlankLine() {
    PrivateProfile profile(original);
    profile.writeString(QStringLiteral("Back"), QStringLiteral("back"), QStringLiteral("2"));
    QCOMPARE(profile.text(), original + QStringLiteral("\r\n[Back]\r\nback=2\r\n"));

    PrivateProfile empty;
    empty.writeString(QStringLiteral("Back"), QStringLiteral("back"), QStringLiteral("2"));
    empty.writeString(QStringLiteral("Back"), QStringLiteral("other"), QString());
    QCOMPARE(empty.text(), QStringLiteral("[Back]\nback=2\nother=\n"));
}

void TestSettingsProfile::writeKeepsAValueOnOneLine() {
    PrivateProfile profile;
    profile.writeString(QStringLiteral("Ranking"), QStringLiteral("name0"),
                        QStringLiteral("a\r\nb\nc\r[Back]"));
    profile.writeString(QStringLiteral("Ranking"), QStringLiteral("name1"), QStringLiteral("x"));
    QCOMPARE(profile.text(), QStringLiteral("[Ranking]\nname0=abc[Back]\nname1=x\n"));
    QCOMPARE(profile.readString(QStringLiteral("Ranking"), QStringLiteral("name1"), QString()),
             QStringLiteral("x"));
}

void TestSettingsProfile::readsAndUnchangedWritesKeepTheTextUncopied() {
    // A file of tens of megabytes must not cost a copy per look: the profile keeps the
    // caller's text as it is until a write changes it.
    PrivateProfile profile(original);
    QCOMPARE(profile.readString(QStringLiteral("Ranking"), QStringLiteral("name0"), QString()),
             QStringLiteral("Taro"));
    profile.writeString(QStringLiteral("Position"), QStringLiteral("colour"),
                        QStringLiteral("blue"));
    QCOMPARE(profile.text().constData(), original.constData());
}

QTEST_GUILESS_MAIN(TestSettingsProfile)
#include "test_settings_profile.moc"
